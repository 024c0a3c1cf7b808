// The Qt panel window: y-up frames, notifications, animation completions, level
// and sticky state; and the recording fake the shell tests use.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QBitmap>
#include <QGuiApplication>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/qt/FakePanelWindow.h"
#include "platform/qt/FakeScreens.h"
#include "platform/qt/ManualMainQueue.h"
#include "platform/qt/QtPanelWindow.h"
#include "platform/qt/QtScreens.h"
#include "platform/qt/ShapeMask.h"
#include "platform/qt/X11Window.h"

namespace corvanta::platform {
namespace {

struct Counts {
    int moved = 0;
    int resized = 0;
    int screen = 0;
    int liveResize = 0;
};

class PanelWindowTest : public ::testing::Test {
protected:
    void watch(PanelWindow& panel) {
        connections_.push_back(panel.moved.connect([this] { ++counts.moved; }));
        connections_.push_back(panel.resized.connect([this] { ++counts.resized; }));
        connections_.push_back(panel.screenChanged.connect([this] { ++counts.screen; }));
        connections_.push_back(panel.liveResizeEnded.connect([this] { ++counts.liveResize; }));
    }
    double primaryHeight() const { return QtScreens::primaryGeometry().height(); }

    QtScreens screens;
    ManualMainQueue queue;
    Counts counts;

private:
    std::vector<Connection> connections_;
};

TEST_F(PanelWindowTest, FrameRoundTripsThroughQtGeometryInYUp) {
    QtPanelWindow panel(makeRect(100, 200, 230, 62), screens, queue);
    EXPECT_EQ(panel.frame(), makeRect(100, 200, 230, 62));
    EXPECT_EQ(panel.window()->geometry(),
              QRect(100, static_cast<int>(primaryHeight()) - 200 - 62, 230, 62));
    EXPECT_EQ(panel.window()->windowFlags() & (Qt::Tool | Qt::FramelessWindowHint),
              Qt::Tool | Qt::FramelessWindowHint);
    EXPECT_TRUE(panel.window()->testAttribute(Qt::WA_TranslucentBackground));

    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    panel.setFrame(makeRect(40, 30, 432, 716));
    EXPECT_EQ(panel.frame(), makeRect(40, 30, 432, 716));
    EXPECT_EQ(panel.contentWidget()->parentWidget(), panel.window());
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.contentWidget()->size(), QSize(432, 716));
}

TEST_F(PanelWindowTest, ReportsMovesAndResizesInYUpTerms) {
    QtPanelWindow panel(makeRect(100, 200, 230, 62), screens, queue);
    watch(panel);
    // Growing upward keeps the y-up origin: a resize, not a move, even though
    // Qt's top-left moves.
    panel.setFrame(makeRect(100, 200, 230, 300));
    EXPECT_EQ(counts.moved, 0);
    EXPECT_EQ(counts.resized, 1);
    panel.setFrame(makeRect(120, 200, 230, 300));
    EXPECT_EQ(counts.moved, 1);
    EXPECT_EQ(counts.resized, 1);
    panel.setFrame(makeRect(120, 200, 230, 300));  // unchanged: silent
    EXPECT_EQ(counts.moved + counts.resized, 2);
    EXPECT_EQ(counts.liveResize, 0);
}

TEST_F(PanelWindowTest, ResizeByTheWindowSystemEndsAsLiveResizeOnceItSettles) {
    QtPanelWindow panel(makeRect(100, 200, 432, 600), screens, queue);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    watch(panel);
    panel.window()->resize(440, 600);  // not through setFrame
    panel.window()->resize(450, 610);
    EXPECT_EQ(counts.resized, 2);
    queue.advance(0.1);
    EXPECT_EQ(counts.liveResize, 0);
    queue.advance(1);
    EXPECT_EQ(counts.liveResize, 1);
}

TEST_F(PanelWindowTest, ScreenChangeIsReportedWhenTheFrameCrossesScreens) {
    FakeScreens fake({ScreenInfo{makeRect(0, 0, 1000, 800), makeRect(0, 0, 1000, 780), 11},
                      ScreenInfo{makeRect(1000, 0, 1000, 800), makeRect(1000, 0, 1000, 780), 22}});
    QtPanelWindow panel(makeRect(10, 10, 230, 62), fake, queue);
    watch(panel);
    EXPECT_EQ(panel.screen()->displayID, 11u);
    panel.setFrame(makeRect(500, 10, 230, 62));
    EXPECT_EQ(counts.screen, 0);
    panel.setFrame(makeRect(1500, 10, 230, 62));
    EXPECT_EQ(counts.screen, 1);
    EXPECT_EQ(panel.screen()->displayID, 22u);
    // The screen goes away under the window.
    fake.setScreens({ScreenInfo{makeRect(0, 0, 1000, 800), makeRect(0, 0, 1000, 780), 11}});
    EXPECT_EQ(counts.screen, 2);
    EXPECT_FALSE(panel.screen().has_value());
}

TEST_F(PanelWindowTest, AnimatedFrameEndsExactlyOnTargetThenPostsItsCompletion) {
    QtPanelWindow panel(makeRect(770, 300, 230, 62), screens, queue);
    panel.show();
    int completions = 0;
    const Rect target = makeRect(568, 84, 432, 278);
    panel.setFrameAnimated(target, 0.05, [&] { ++completions; });
    EXPECT_NE(panel.frame(), target);
    ASSERT_TRUE(QTest::qWaitFor([&] { return queue.readyCount() > 0; }, 3000));
    EXPECT_EQ(panel.frame(), target);
    EXPECT_EQ(completions, 0);  // posted, not run inside the animation's callback
    queue.runUntilIdle();
    EXPECT_EQ(completions, 1);
}

TEST_F(PanelWindowTest, EveryAnimationCompletionRunsOnceWhateverHappensToIt) {
    int first = 0, second = 0, third = 0, immediate = 0;
    {
        QtPanelWindow panel(makeRect(0, 0, 230, 62), screens, queue);
        panel.setFrameAnimated(makeRect(0, 0, 400, 600), 5, [&] { ++first; });
        // Replaced by another animation.
        panel.setFrameAnimated(makeRect(0, 0, 500, 600), 5, [&] { ++second; });
        queue.runUntilIdle();
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 0);
        // Interrupted by an immediate frame.
        panel.setFrame(makeRect(10, 10, 230, 62));
        queue.runUntilIdle();
        EXPECT_EQ(second, 1);
        EXPECT_EQ(panel.frame(), makeRect(10, 10, 230, 62));
        // No duration: set now, completion still on a later turn.
        panel.setFrameAnimated(makeRect(20, 20, 230, 62), 0, [&] { ++immediate; });
        EXPECT_EQ(panel.frame(), makeRect(20, 20, 230, 62));
        EXPECT_EQ(immediate, 0);
        // The window goes away mid-animation.
        panel.setFrameAnimated(makeRect(0, 0, 432, 716), 5, [&] { ++third; });
    }
    queue.runUntilIdle();
    EXPECT_EQ(immediate, 1);
    EXPECT_EQ(third, 1);
    QTest::qWait(20);  // a stray animation tick must not touch the dead window
    EXPECT_EQ(first + second + third + immediate, 4);
}

TEST_F(PanelWindowTest, AnimationStoppedOrDeletedFromOutsideStillCompletesOnce) {
    QtPanelWindow panel(makeRect(0, 0, 230, 62), screens, queue);
    const auto running = [&] {
        for (auto* animation : panel.findChildren<QPropertyAnimation*>())
            if (animation->state() == QAbstractAnimation::Running)
                return animation;
        return static_cast<QPropertyAnimation*>(nullptr);
    };
    int stopped = 0, deleted = 0;
    panel.setFrameAnimated(makeRect(0, 0, 400, 600), 5, [&] { ++stopped; });
    ASSERT_NE(running(), nullptr);
    running()->stop();
    queue.runUntilIdle();
    EXPECT_EQ(stopped, 1);

    panel.setFrameAnimated(makeRect(0, 0, 500, 600), 5, [&] { ++deleted; });
    ASSERT_NE(running(), nullptr);
    delete running();
    queue.runUntilIdle();
    EXPECT_EQ(deleted, 1);

    // Neither completion comes back with later frame changes.
    panel.setFrame(makeRect(10, 10, 230, 62));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    queue.runUntilIdle();
    EXPECT_EQ(stopped, 1);
    EXPECT_EQ(deleted, 1);
}

TEST_F(PanelWindowTest, LevelChangeKeepsTheNativeWindowFrameAndVisibility) {
    QtPanelWindow panel(makeRect(300, 300, 230, 62), screens, queue);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    const QWindow* handle = panel.window()->windowHandle();
    watch(panel);

    panel.setFloating(true);
    EXPECT_TRUE(panel.isFloating());
    EXPECT_TRUE(panel.window()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    panel.setFloating(false);
    EXPECT_FALSE(panel.isFloating());
    EXPECT_FALSE(panel.window()->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.window()->windowHandle(), handle);
    EXPECT_EQ(panel.frame(), makeRect(300, 300, 230, 62));
    EXPECT_EQ(counts.moved + counts.resized, 0);
    EXPECT_TRUE(panel.window()->windowFlags().testFlag(Qt::FramelessWindowHint));

    // Before the native window exists the flag is simply stored.
    QtPanelWindow hidden(makeRect(0, 0, 230, 62), screens, queue);
    hidden.setFloating(true);
    EXPECT_TRUE(hidden.isFloating());
    EXPECT_FALSE(hidden.isVisible());
}

TEST_F(PanelWindowTest, OrderingAndSystemMoveRespectMovable) {
    QtPanelWindow panel(makeRect(0, 0, 230, 62), screens, queue);
    EXPECT_FALSE(panel.isVisible());
    panel.orderFrontRegardless();
    EXPECT_TRUE(panel.isVisible());
    panel.orderOut();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.frame(), makeRect(0, 0, 230, 62));

    FakeScreens fake;
    FakePanelWindow fakePanel(makeRect(0, 0, 230, 62), fake, queue);
    fakePanel.startSystemMove();
    fakePanel.setMovable(false);
    fakePanel.startSystemMove();
    EXPECT_EQ(fakePanel.systemMoveCount(), 1);
}

TEST_F(PanelWindowTest, FakeRecordsAnimationsAndCompletesThemOnTheQueue) {
    FakeScreens fake({ScreenInfo{makeRect(0, 0, 1440, 900), makeRect(0, 0, 1440, 875), 1}});
    FakePanelWindow panel(makeRect(770, 738, 230, 62), fake, queue);
    watch(panel);
    bool done = false;
    panel.setFrameAnimated(makeRect(568, 84, 432, 716), 0.14, [&] { done = true; });
    EXPECT_EQ(panel.frame(), makeRect(568, 84, 432, 716));
    EXPECT_EQ(counts.moved, 1);
    EXPECT_EQ(counts.resized, 1);
    EXPECT_FALSE(done);
    queue.runUntilIdle();
    EXPECT_TRUE(done);
    ASSERT_EQ(panel.animations().size(), 1u);
    EXPECT_EQ(panel.animations()[0].durationSeconds, 0.14);
    ASSERT_NE(panel.contentWidget(), nullptr);
    EXPECT_EQ(panel.contentWidget()->window(), panel.window());
}

QPainterPath insetRoundedPlate(const QSizeF& size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1), 15, 15);
    return path;
}

// Runs only on a real X server (the *X11* ctest entry on a private Xvfb).
TEST_F(PanelWindowTest, X11StickyStateAndOutlineShapeWithoutCompositor) {
    if (!x11::isX11())
        GTEST_SKIP() << "needs the xcb platform";
    QtPanelWindow panel(makeRect(100, 100, 230, 62), screens, queue);
    panel.setOnAllSpaces(true);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    EXPECT_TRUE(x11::isSticky(panel.window()));
    panel.setOnAllSpaces(false);
    EXPECT_FALSE(x11::isSticky(panel.window()));
    panel.setOnAllSpaces(true);
    EXPECT_TRUE(x11::isSticky(panel.window()));

    if (x11::compositorRunning())
        GTEST_SKIP() << "a compositor draws the corners";
    EXPECT_TRUE(panel.usesShapeMask());
    panel.setOutline(insetRoundedPlate);
    const double ratio = panel.window()->devicePixelRatioF();
    // The server holds exactly the device-pixel region of the painted plate:
    // the transparent 1-point ring along the edges is cut as well.
    EXPECT_EQ(x11::boundingShape(panel.window()),
              shapeMaskRegion(insetRoundedPlate(QSizeF(230, 62)), QSize(230, 62), ratio));
    const QRegion bar = x11::boundingShape(panel.window());
    EXPECT_FALSE(bar.contains(QPoint(0, 0)));
    EXPECT_FALSE(bar.contains(QPoint(0, 31)));
    EXPECT_TRUE(bar.contains(QPoint(115, 31)));
    EXPECT_TRUE(bar.contains(QPoint(int(115 * ratio), int(1 * ratio))));
    // It follows every resize.
    panel.setFrame(makeRect(100, 100, 432, 716));
    const QRegion expanded = x11::boundingShape(panel.window());
    EXPECT_TRUE(expanded.contains(QPoint(int(400 * ratio), int(700 * ratio))));
    EXPECT_FALSE(expanded.contains(QPoint(int(431 * ratio), int(715 * ratio))));
    // Without an outline the window is whole again.
    panel.setOutline({});
    EXPECT_TRUE(x11::boundingShape(panel.window()).contains(QPoint(0, 0)));
}

// The screen's pixel at a point, through a connection of our own (0xRRGGBB).
std::uint32_t screenPixel(xcb_connection_t* c, QPoint at) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_image_reply_t* image =
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(at.x()),
                                          int16_t(at.y()), 1, 1, ~0u),
                            nullptr);
    std::uint32_t value = 0;
    if (image && xcb_get_image_data_length(image) >= 4)
        std::memcpy(&value, xcb_get_image_data(image), 4);
    std::free(image);
    return value & 0xFFFFFF;
}

// Nothing is handled between the show and the look: Qt has not painted yet,
// so what shows in the middle of the panel is what the server had at the map.
void expectFrameAtEveryMap(QtPanelWindow& panel) {
    panel.contentWidget()->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x33, 0x66, 0xCC));
    panel.contentWidget()->setPalette(palette);
    xcb_connection_t* own = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(own));
    auto* qt = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const QPoint middle = panel.window()->geometry().center();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        panel.show();
        xcb_flush(qt);
        const auto id = xcb_window_t(panel.window()->windowHandle()->winId());
        bool viewable = false;
        for (int i = 0; i < 200 && !viewable; ++i) {
            xcb_get_window_attributes_reply_t* attributes =
                xcb_get_window_attributes_reply(own, xcb_get_window_attributes(own, id), nullptr);
            viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributes);
            if (!viewable)
                QThread::msleep(5);
        }
        ASSERT_TRUE(viewable);
        EXPECT_EQ(screenPixel(own, middle), 0x3366CCu);
        // Shown again after hiding, it is the same.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
        panel.orderOut();
        QTest::qWait(50);
    }
    xcb_disconnect(own);
}

TEST_F(PanelWindowTest, X11EveryMapShowsTheFrameBeforeQtPaints) {
    if (!x11::isX11() || x11::compositorRunning())
        GTEST_SKIP() << "needs the xcb platform without a compositor";
    {
        QtPanelWindow panel(makeRect(100, 100, 230, 62), screens, queue);
        expectFrameAtEveryMap(panel);
    }
    // The controller's order for a pinned panel: the outline, then the level.
    QtPanelWindow pinned(makeRect(100, 100, 230, 62), screens, queue);
    pinned.setOutline(insetRoundedPlate);
    pinned.setFloating(true);
    pinned.setOnAllSpaces(true);
    pinned.setMovable(false);
    expectFrameAtEveryMap(pinned);
}

TEST_F(PanelWindowTest, X11WindowManagerGetsTheLimitsAndOurOwnFramesStayUnclamped) {
    if (!x11::isX11())
        GTEST_SKIP() << "needs the xcb platform";
    QtPanelWindow panel(makeRect(100, 100, 230, 62), screens, queue);
    panel.setMinSize({230, 62});
    panel.setMaxSize({230, 62});
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    const double ratio = panel.window()->devicePixelRatioF();
    const auto device = [ratio](int w, int h) {
        return QSize(int(std::lround(w * ratio)), int(std::lround(h * ratio)));
    };
    auto hints = x11::normalSizeHints(panel.window());
    EXPECT_EQ(hints.minimum, device(230, 62));
    EXPECT_EQ(hints.maximum, device(230, 62));

    // A frame outside the limits is ours to set; the hints widen to admit it,
    // or a window manager would refuse it.
    panel.setFrame(makeRect(100, 100, 432, 716));
    EXPECT_EQ(panel.frame(), makeRect(100, 100, 432, 716));
    hints = x11::normalSizeHints(panel.window());
    EXPECT_EQ(hints.minimum, device(230, 62));
    EXPECT_EQ(hints.maximum, device(432, 716));
    panel.setMinSize({360, 520});
    panel.setMaxSize({640, 900});
    hints = x11::normalSizeHints(panel.window());
    EXPECT_EQ(hints.minimum, device(360, 520));
    EXPECT_EQ(hints.maximum, device(640, 900));

    // An animation to a size outside the limits reaches it too.
    panel.setFrameAnimated(makeRect(100, 100, 230, 62), 0.05, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return queue.readyCount() > 0; }, 3000));
    // The X server confirms a top-level's geometry in its own time.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return panel.frame() == makeRect(100, 100, 230, 62); }, 3000));
    EXPECT_EQ(x11::normalSizeHints(panel.window()).minimum, device(230, 62));
}

TEST_F(PanelWindowTest, X11MoveHintFollowsMovableAndSurvivesALevelChange) {
    if (!x11::isX11())
        GTEST_SKIP() << "needs the xcb platform";
    QtPanelWindow panel(makeRect(100, 100, 230, 62), screens, queue);
    panel.setMovable(false);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    EXPECT_FALSE(x11::moveAllowed(panel.window()));
    // Qt rewrites the Motif hints when the window flags change.
    panel.setFloating(true);
    EXPECT_FALSE(x11::moveAllowed(panel.window()));
    panel.setMovable(true);
    EXPECT_TRUE(x11::moveAllowed(panel.window()));
    panel.setFloating(false);
    EXPECT_TRUE(x11::moveAllowed(panel.window()));
}

TEST_F(PanelWindowTest, X11StateSurvivesTheNativeWindowBeingMadeAnewOnShow) {
    if (!x11::isX11())
        GTEST_SKIP() << "needs the xcb platform";
    QtPanelWindow panel(makeRect(100, 100, 230, 62), screens, queue);
    panel.setOutline(insetRoundedPlate);
    panel.window()->winId();
    // A level change on an existing native window makes Qt replace it when
    // it is shown.
    panel.setFloating(true);
    panel.setOnAllSpaces(true);
    panel.setMovable(false);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.window()));
    EXPECT_FALSE(x11::moveAllowed(panel.window()));
    EXPECT_TRUE(x11::isSticky(panel.window()));
    EXPECT_FALSE(x11::boundingShape(panel.window()).contains(QPoint(0, 0)));
}

}  // namespace
}  // namespace corvanta::platform
