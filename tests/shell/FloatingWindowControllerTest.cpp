// The window controller on fake platform services: strips per state, the
// animated switch, pinning, the two event monitors, persistence and teardown.
#include "shell/FloatingWindowController.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWidget>

#include "GeometryPrinting.h"
#include "ShellFixture.h"
#include "catalog/ShortcutStore.h"
#include "platform/qt/Event.h"
#include "shell/DragHandleView.h"
#include "shell/ResizeHandleView.h"

namespace corvanta {
namespace {

using platform::makeRect;
using platform::Rect;
using platform::Size;
using testing_support::ShellFixture;

class FloatingWindowControllerTest : public ShellFixture {
protected:
    FloatingWindowController& make() {
        controller = std::make_unique<FloatingWindowController>(services());
        return *controller;
    }

    void expand() {
        bool done = false;
        controller->commands().setExpanded(true, [&done] { done = true; });
        queue.runUntilIdle();
        ASSERT_TRUE(done);
    }

    int visibleCount(const auto& strips) const {
        int count = 0;
        for (const QWidget* strip : strips) count += strip->isHidden() ? 0 : 1;
        return count;
    }

    // Whether the strips match one row of the state table.
    void expectStrips(bool collapsedZoneShown, bool expandedStripsShown, bool layoutActive) {
        EXPECT_EQ(!controller->collapsedDragZone()->isHidden(), collapsedZoneShown);
        EXPECT_EQ(visibleCount(controller->expandedDragZones()), expandedStripsShown ? 11 : 0);
        EXPECT_EQ(visibleCount(controller->resizeHandles()), expandedStripsShown ? 8 : 0);
        EXPECT_EQ(controller->expandedStripLayoutActive(), layoutActive);
    }

    // The fake window does not size its widget; do what the real one does.
    void showWindowWidget() {
        QWidget* widget = panel->window();
        widget->resize(static_cast<int>(panel->frame().width()),
                       static_cast<int>(panel->frame().height()));
        widget->show();
        QCoreApplication::processEvents();
    }

    void expectLimits(Size minimum, Size maximum) {
        EXPECT_EQ(panel->minSize(), minimum);
        EXPECT_EQ(panel->maxSize(), maximum);
    }

    std::unique_ptr<FloatingWindowController> controller;
};

TEST_F(FloatingWindowControllerTest, StartsCollapsedAtTheDefaultPlaceWithoutWriting) {
    make();
    EXPECT_EQ(panel->frame(), makeRect(1188, 728, 230, 62));
    EXPECT_EQ(panel->title(), "Corvanta");
    expectLimits({230, 62}, {230, 62});
    expectStrips(true, false, false);
    EXPECT_FALSE(controller->isExpanded());
    EXPECT_EQ(controller->expandedSize(), (Size{432, 716}));
    for (const char* key : {"CorvantaExpandedWindowSize", "CorvantaWindowTopRight",
                            "CorvantaWindowDisplayID", "CorvantaWindowFrame"}) {
        EXPECT_FALSE(defaults.object(key)) << key;
    }
    EXPECT_FALSE(panel->isVisible());
    // The bar's zone leaves its right-most 73 points to the buttons.
    showWindowWidget();
    EXPECT_EQ(controller->collapsedDragZone()->geometry(), QRect(0, 0, 157, 62));
}

TEST_F(FloatingWindowControllerTest, StartsAtTheSavedPlaceAndSize) {
    defaults.setString("CorvantaWindowTopRight", "{1000, 800}");
    defaults.setString("CorvantaExpandedWindowSize", "{1000, 2000}");
    make();
    EXPECT_EQ(panel->frame(), makeRect(770, 738, 230, 62));
    EXPECT_EQ(controller->expandedSize(), (Size{640, 900}));
}

TEST_F(FloatingWindowControllerTest, ExpandAndCollapseFollowTheStateTable) {
    defaults.setString("CorvantaWindowTopRight", "{1000, 800}");
    make();
    bool expanded = false;
    controller->commands().setExpanded(true, [&expanded] { expanded = true; });

    // Expanding: limits open, every strip hidden until the animation has ended.
    EXPECT_TRUE(controller->isExpanded());
    EXPECT_TRUE(controller->isResizingWindow());
    expectLimits({1, 1}, {10000, 10000});
    expectStrips(false, false, false);
    ASSERT_EQ(panel->animations().size(), 1u);
    EXPECT_EQ(panel->animations()[0].target, makeRect(568, 84, 432, 716));
    EXPECT_DOUBLE_EQ(panel->animations()[0].durationSeconds, 0.14);
    EXPECT_FALSE(expanded);

    queue.runUntilIdle();
    EXPECT_TRUE(expanded);
    EXPECT_FALSE(controller->isResizingWindow());
    expectLimits({360, 520}, {640, 875});
    expectStrips(false, true, true);
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{432, 716}");
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{1000, 800}");
    EXPECT_EQ(defaults.number("CorvantaWindowDisplayID"), 101);
    // The expanded strips sit where the header's layout expects them.
    showWindowWidget();
    EXPECT_EQ(controller->expandedDragZones()[0]->geometry(), QRect(0, 0, 432, 14));
    EXPECT_EQ(controller->resizeHandles()[7]->geometry(), QRect(420, 704, 12, 12));

    bool collapsed = false;
    controller->commands().setExpanded(false, [&collapsed] { collapsed = true; });
    // Collapsing: the bar's zone is back at once, the expanded strips are gone.
    EXPECT_FALSE(controller->isExpanded());
    expectLimits({1, 1}, {10000, 10000});
    expectStrips(true, false, false);
    ASSERT_EQ(panel->animations().size(), 2u);
    EXPECT_EQ(panel->animations()[1].target, makeRect(770, 738, 230, 62));
    EXPECT_DOUBLE_EQ(panel->animations()[1].durationSeconds, 0.22);

    queue.runUntilIdle();
    EXPECT_TRUE(collapsed);
    expectLimits({230, 62}, {230, 62});
    expectStrips(true, false, false);
}

TEST_F(FloatingWindowControllerTest, CollapseRemembersTheSizeTheUserLeft) {
    make();
    expand();
    panel->simulateUserFrame(makeRect(500, 100, 500.5, 600));
    // A live resize keeps the size in memory only, until it comes to rest.
    EXPECT_EQ(controller->expandedSize(), (Size{500.5, 600}));
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{432, 716}");
    controller->commands().setExpanded(false, {});
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{500.5, 600}");
    queue.runUntilIdle();
    // Expanding again restores it.
    controller->commands().setExpanded(true, {});
    EXPECT_EQ(panel->animations().back().target.size, (Size{500.5, 600}));
}

TEST_F(FloatingWindowControllerTest, LiveResizeEndAndUserMovesArePersisted) {
    make();
    panel->simulateUserFrame(makeRect(100, 200, 230, 62));
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{330, 262}");
    expand();
    panel->simulateUserFrame(makeRect(100, 100, 380, 540));
    panel->simulateLiveResizeEnd();
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{380, 540}");
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{480, 640}");
}

TEST_F(FloatingWindowControllerTest, HandleDragIsSilentUntilReleased) {
    make();
    expand();
    const Rect start = panel->frame();
    const std::string savedTopRight = *defaults.string("CorvantaWindowTopRight");
    ResizeHandleView* left = controller->resizeHandles()[2];
    ASSERT_EQ(left->edges(), kLeftEdge);

    left->beginResize({700, 400});
    EXPECT_TRUE(controller->isResizingWindow());
    left->continueResize({650, 400});
    EXPECT_EQ(panel->frame(), makeRect(start.minX() - 50, start.minY(), 482, start.height()));
    left->continueResize({2000, 400});  // far right: the minimum width, right edge kept
    EXPECT_EQ(panel->frame().width(), 360);
    EXPECT_EQ(panel->frame().maxX(), start.maxX());
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), savedTopRight);
    left->continueResize({700, 400});  // back to the start
    EXPECT_EQ(panel->frame(), start);
    left->continueResize({690, 400});

    left->endResize();
    EXPECT_FALSE(controller->isResizingWindow());
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{442, 716}");
    EXPECT_EQ(controller->expandedSize(), (Size{442, 716}));
}

TEST_F(FloatingWindowControllerTest, PinningFloatsTheWindowAndLetsClicksThrough) {
    defaults.setBool("CorvantaPinned", false);
    make();
    EXPECT_FALSE(panel->isFloating());
    EXPECT_FALSE(panel->isOnAllSpaces());
    EXPECT_TRUE(panel->isMovable());
    EXPECT_TRUE(controller->collapsedDragZone()->allowsDragging());

    controller->commands().setPinned(true);
    EXPECT_TRUE(panel->isFloating());
    EXPECT_TRUE(panel->isOnAllSpaces());
    EXPECT_FALSE(panel->isMovable());
    EXPECT_TRUE(controller->collapsedDragZone()->testAttribute(Qt::WA_TransparentForMouseEvents));
    for (const DragHandleView* zone : controller->expandedDragZones()) {
        EXPECT_FALSE(zone->allowsDragging());
        EXPECT_TRUE(zone->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    // The store is the view's business, not the window's.
    EXPECT_FALSE(controller->store().isPinned.get());

    controller->commands().setPinned(false);
    EXPECT_FALSE(panel->isFloating());
    EXPECT_TRUE(panel->isMovable());
    EXPECT_FALSE(controller->collapsedDragZone()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(FloatingWindowControllerTest, DraggingTheBarMovesItWhereNoWindowManagerDoes) {
    defaults.setBool("CorvantaPinned", false);
    make();
    panel->setSystemMoveSupported(false);
    showWindowWidget();
    QWidget* zone = controller->collapsedDragZone();
    const QPoint press(20, 30);
    const QPoint pressGlobal = zone->mapToGlobal(press);
    auto send = [&](QEvent::Type type, QPoint offset, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(press + offset), QPointF(pressGlobal + offset),
                          Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(zone, &event);
    };
    send(QEvent::MouseButtonPress, {}, Qt::LeftButton);
    send(QEvent::MouseMove, {-50, 30}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {-50, 30}, Qt::NoButton);
    // Thirty pixels down the screen is thirty points lower in the frame.
    EXPECT_EQ(panel->frame(), makeRect(1138, 698, 230, 62));
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{1368, 760}");

    // Released: further moves no longer drag.
    send(QEvent::MouseMove, {-80, 30}, Qt::NoButton);
    EXPECT_EQ(panel->frame(), makeRect(1138, 698, 230, 62));
}

TEST_F(FloatingWindowControllerTest, PinStateIsReadFromTheStoreAtStart) {
    defaults.setBool("CorvantaPinned", true);
    make();
    EXPECT_TRUE(panel->isFloating());
    EXPECT_TRUE(panel->isOnAllSpaces());
    EXPECT_FALSE(panel->isMovable());
    EXPECT_FALSE(controller->expandedDragZones()[10]->allowsDragging());
}

TEST_F(FloatingWindowControllerTest, EscapeInThePanelIsSwallowedAndCountedOncePerPress) {
    make();
    QWidget other;
    ShortcutStore& store = controller->store();

    EXPECT_FALSE(monitors.send(keyDown(platform::keycode::escape, panel->window())));
    EXPECT_EQ(store.escapeRequestID.get(), 0);  // counted on a later turn
    queue.runUntilIdle();
    EXPECT_EQ(store.escapeRequestID.get(), 1);
    EXPECT_FALSE(monitors.send(keyDown(platform::keycode::escape, panel->window())));
    queue.runUntilIdle();
    EXPECT_EQ(store.escapeRequestID.get(), 2);

    EXPECT_TRUE(monitors.send(keyDown(platform::keycode::escape, &other)));
    EXPECT_TRUE(monitors.send(keyDown(platform::keycode::escape, nullptr)));
    EXPECT_TRUE(monitors.send(keyDown(platform::keycode::returnKey, panel->window())));
    queue.runUntilIdle();
    EXPECT_EQ(store.escapeRequestID.get(), 2);
}

TEST_F(FloatingWindowControllerTest, EscapeCollapsesTheExpandedPanel) {
    make();
    expand();
    controller->store().isExpanded = true;
    monitors.send(keyDown(platform::keycode::escape, panel->window()));
    queue.runUntilIdle();
    EXPECT_FALSE(controller->store().isExpanded.get());
    EXPECT_FALSE(controller->isExpanded());
    EXPECT_EQ(panel->frame().size, (Size{230, 62}));
}

TEST_F(FloatingWindowControllerTest, ClicksOutsideTheSearchBandAskToDropTheSearchFocus) {
    make();
    expand();
    ASSERT_EQ(panel->frame().size, (Size{432, 716}));
    ShortcutStore& store = controller->store();
    QWidget other;

    // Inside the band (72…108 points below the top, 13 in from the sides).
    EXPECT_TRUE(monitors.send(click({13, 608}, panel->window())));
    EXPECT_TRUE(monitors.send(click({418, 643.5}, panel->window())));
    queue.runUntilIdle();
    EXPECT_EQ(store.dismissSearchRequestID.get(), 0);

    // Outside it, header buttons included: counted, and the click goes on.
    EXPECT_TRUE(monitors.send(click({100, 644}, panel->window())));
    EXPECT_EQ(store.dismissSearchRequestID.get(), 0);
    queue.runUntilIdle();
    EXPECT_EQ(store.dismissSearchRequestID.get(), 1);
    EXPECT_TRUE(monitors.send(click({419, 620}, panel->window())));
    EXPECT_TRUE(monitors.send(click({400, 690}, panel->window())));
    queue.runUntilIdle();
    EXPECT_EQ(store.dismissSearchRequestID.get(), 3);

    // Other windows are none of the panel's business.
    EXPECT_TRUE(monitors.send(click({100, 700}, &other)));
    queue.runUntilIdle();
    EXPECT_EQ(store.dismissSearchRequestID.get(), 3);
}

TEST_F(FloatingWindowControllerTest, EveryClickOnTheCollapsedBarCountsAsOutside) {
    make();
    EXPECT_TRUE(monitors.send(click({50, 30}, panel->window())));
    queue.runUntilIdle();
    EXPECT_EQ(controller->store().dismissSearchRequestID.get(), 1);
}

TEST_F(FloatingWindowControllerTest, CloseHidesAndKeepsEverything) {
    make();
    controller->showWindow();
    expand();
    const Rect frame = panel->frame();
    controller->commands().closeWindow();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->frame(), frame);
    EXPECT_TRUE(controller->isExpanded());
}

TEST_F(FloatingWindowControllerTest, CommandsAndCompletionsOutliveTheController) {
    make();
    bool animationDone = false;
    controller->commands().setExpanded(true, [&animationDone] { animationDone = true; });
    const auto setExpanded = controller->commands().setExpanded;
    const auto setPinned = controller->commands().setPinned;
    const auto closeWindow = controller->commands().closeWindow;

    controller.reset();
    EXPECT_EQ(monitors.monitorCount(), 0u);
    queue.runUntilIdle();
    EXPECT_TRUE(animationDone);  // the animation's completion still ran

    bool done = false;
    setExpanded(false, [&done] { done = true; });
    EXPECT_TRUE(done);  // at once
    setPinned(true);
    closeWindow();
}

TEST_F(FloatingWindowControllerTest, LosingItsScreenMovesTheBarOntoTheRemainingOne) {
    screens.setScreens({testing_support::laptopScreen(), testing_support::externalScreen()});
    defaults.setString("CorvantaWindowTopRight", "{3000, 1000}");
    defaults.setInteger("CorvantaWindowDisplayID", 202);
    make();
    EXPECT_EQ(panel->frame(), makeRect(2770, 938, 230, 62));

    screens.setScreens({testing_support::laptopScreen()});
    queue.runUntilIdle();
    EXPECT_EQ(panel->frame(), makeRect(1210, 838, 230, 62));
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{1440, 900}");
    EXPECT_EQ(defaults.number("CorvantaWindowDisplayID"), 101);
}

TEST_F(FloatingWindowControllerTest, ExpandedPanelIsReLimitedOnASmallerScreen) {
    make();
    expand();
    const platform::ScreenInfo small{makeRect(0, 0, 600, 500), makeRect(0, 0, 600, 500), 7};
    screens.setScreens({small});
    queue.runUntilIdle();
    EXPECT_EQ(panel->frame().size, (Size{432, 500}));
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{432, 520}");
    EXPECT_LE(panel->frame().maxX(), 600);
}

TEST_F(FloatingWindowControllerTest, ExpandedPanelTakesNewLimitsWhenItsOwnScreenShrinks) {
    make();
    expand();
    expectLimits({360, 520}, {640, 875});
    // The same display at a lower resolution: no change of screen, yet the
    // window manager must bound the user's resizes by the new limits.
    screens.setScreens({{makeRect(0, 0, 1024, 640), makeRect(0, 25, 1024, 615), 101}});
    queue.runUntilIdle();
    expectLimits({360, 520}, {640, 615});
    EXPECT_EQ(panel->frame().size, (Size{432, 615}));
}

TEST_F(FloatingWindowControllerTest, WindowIsCutToThePaintedPlate) {
    make();
    const auto& outline = panel->outline();
    ASSERT_TRUE(outline);
    for (const QSizeF size : {QSizeF(230, 62), QSizeF(432, 716)}) {
        const QPainterPath plate = outline(size);
        // The 1-point ring outside the plate and the rounded corners are out.
        EXPECT_FALSE(plate.contains(QPointF(0.5, size.height() / 2)));
        EXPECT_FALSE(plate.contains(QPointF(2, 2)));
        EXPECT_FALSE(plate.contains(QPointF(size.width() - 2, size.height() - 2)));
        EXPECT_TRUE(plate.contains(QPointF(1.5, size.height() / 2)));
        EXPECT_TRUE(plate.contains(QPointF(size.width() / 2, size.height() - 1.5)));
    }
}

TEST_F(FloatingWindowControllerTest, ExpandedPanelMovedOntoASmallerScreenTakesItsLimits) {
    const platform::ScreenInfo tall{makeRect(1440, 0, 1920, 1080), makeRect(1440, 0, 1920, 1080),
                                    202};
    screens.setScreens({testing_support::laptopScreen(), tall});
    defaults.setString("CorvantaWindowTopRight", "{3000, 1000}");
    defaults.setInteger("CorvantaWindowDisplayID", 202);
    defaults.setString("CorvantaExpandedWindowSize", "{640, 900}");
    make();
    expand();
    ASSERT_EQ(panel->frame(), makeRect(2360, 100, 640, 900));
    expectLimits({360, 520}, {640, 900});

    // Dragged mostly onto the laptop: its 875-point visible height now bounds the
    // panel, which keeps its top-right corner until the menu bar pushes it down.
    panel->simulateUserFrame(makeRect(700, 50, 640, 900));
    expectLimits({360, 520}, {640, 875});
    EXPECT_EQ(panel->frame(), makeRect(700, 25, 640, 875));
    EXPECT_EQ(controller->expandedSize(), (Size{640, 875}));
    EXPECT_EQ(defaults.string("CorvantaExpandedWindowSize"), "{640, 875}");
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{1340, 900}");
    EXPECT_EQ(defaults.number("CorvantaWindowDisplayID"), 101);
}

}  // namespace
}  // namespace corvanta
