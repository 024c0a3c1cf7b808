// Local event monitors: one offer per user event, swallowing, y-up locations,
// masks and removal by token.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "platform/qt/FakeEventMonitors.h"
#include "platform/qt/QtEventMonitors.h"

namespace corvanta::platform {
namespace {

// Counts what reaches it and ignores it, so Qt passes it on to the parent.
class Probe : public QWidget {
public:
    using QWidget::QWidget;
    int keys = 0;
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        ++keys;
        e->ignore();
    }
    void mousePressEvent(QMouseEvent* e) override {
        ++presses;
        e->ignore();
    }
};

class EventMonitorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(200, 100);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        probe = new Probe(&window);
        probe->setFocusPolicy(Qt::StrongFocus);
        layout->addWidget(probe);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        probe->setFocus();
    }

    QtEventMonitors monitors;
    QWidget window;
    Probe* probe = nullptr;
    std::vector<Event> seen;
};

TEST_F(EventMonitorsTest, EachKeyPressIsOfferedOnceWithItsKeyCodeAndWindow) {
    monitors.addLocalMonitor(EventMask::keyDown, [this](const Event& e) {
        seen.push_back(e);
        return true;
    });
    QTest::keyClick(probe, Qt::Key_Escape);  // ignored by the probe: propagates
    QTest::keyClick(probe, Qt::Key_Escape);
    QTest::keyClick(probe, Qt::Key_K, Qt::ControlModifier);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].keyCode, keycode::escape);
    EXPECT_EQ(seen[0].window, &window);
    EXPECT_EQ(seen[2].keyCode, 40);
    EXPECT_EQ(seen[2].modifiers, Qt::ControlModifier);
    EXPECT_EQ(probe->keys, 4);  // the widget also saw Ctrl go down on its own
}

// Key events sent straight to widgets are built on the stack, one after
// another at the same address; each is still a key of its own.
TEST_F(EventMonitorsTest, KeysSentStraightToAWidgetAreEachOffered) {
    int offers = 0;
    monitors.addLocalMonitor(EventMask::keyDown, [&](const Event&) {
        ++offers;
        return true;
    });
    auto* field = new QLineEdit(&window);  // takes the keys it is sent
    field->show();
    QTest::keyClick(field, Qt::Key_A);
    QTest::keyClick(field, Qt::Key_B);
    QTest::keyClick(&window, Qt::Key_C);  // the parent of the last receiver
    QTest::keyClick(field, Qt::Key_D);
    EXPECT_EQ(field->text(), QStringLiteral("abd"));
    EXPECT_EQ(offers, 4);
    QTest::keyClick(probe, Qt::Key_Escape);  // ignored: goes up to the window once
    EXPECT_EQ(offers, 5);
}

TEST_F(EventMonitorsTest, KeyFromTheWindowSystemIsOfferedOnceAndCanBeSwallowed) {
    int offers = 0;
    monitors.addLocalMonitor(EventMask::keyDown, [&](const Event& e) {
        ++offers;
        return e.keyCode != keycode::escape;
    });
    // Through the native window, as real input arrives.
    QTest::keyClick(window.windowHandle(), Qt::Key_A);
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(probe->keys, 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(offers, 2);
    EXPECT_EQ(probe->keys, 1);  // swallowed before any widget saw it
}

TEST_F(EventMonitorsTest, FirstSwallowingMonitorStopsTheEvent) {
    std::string order;
    monitors.addLocalMonitor(EventMask::keyDown, [&](const Event&) {
        order += "1";
        return false;
    });
    monitors.addLocalMonitor(EventMask::keyDown, [&](const Event&) {
        order += "2";
        return true;
    });
    QTest::keyClick(probe, Qt::Key_Escape);
    EXPECT_EQ(order, "1");
    EXPECT_EQ(probe->keys, 0);
}

TEST_F(EventMonitorsTest, LeftPressGivesAYUpLocationAndOtherButtonsAreNotOffered) {
    monitors.addLocalMonitor(EventMask::leftMouseDown, [this](const Event& e) {
        seen.push_back(e);
        return true;
    });
    monitors.addLocalMonitor(EventMask::keyDown, [](const Event&) -> bool {
        ADD_FAILURE() << "key monitor saw a mouse event";
        return true;
    });
    QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(10, 20));
    QTest::mouseClick(probe, Qt::RightButton, {}, QPoint(10, 20));
    QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(150, 99));
    ASSERT_EQ(seen.size(), 2u);  // the ignored press also reached the window: still one offer
    EXPECT_EQ(seen[0].type, EventType::leftMouseDown);
    EXPECT_EQ(seen[0].window, &window);
    EXPECT_EQ(seen[0].locationInWindow, (Point{10, 80}));
    EXPECT_EQ(seen[1].locationInWindow, (Point{150, 1}));
    EXPECT_EQ(probe->presses, 3);
}

TEST_F(EventMonitorsTest, SwallowedPressNeverReachesTheWidget) {
    monitors.addLocalMonitor(EventMask::leftMouseDown, [](const Event&) { return false; });
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(probe->presses, 0);
}

TEST_F(EventMonitorsTest, RemovedMonitorsAreNotCalledAlsoWhenRemovedDuringDispatch) {
    int a = 0, b = 0;
    EventMonitors::Token tokenB = 0;
    const auto tokenA = monitors.addLocalMonitor(EventMask::keyDown, [&](const Event&) {
        ++a;
        monitors.removeMonitor(tokenB);
        return true;
    });
    tokenB =
        monitors.addLocalMonitor(EventMask::keyDown | EventMask::leftMouseDown, [&](const Event&) {
            ++b;
            return true;
        });
    EXPECT_NE(tokenA, tokenB);
    QTest::keyClick(probe, Qt::Key_Escape);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    monitors.removeMonitor(tokenA);
    monitors.removeMonitor(tokenA);  // twice: ignored
    monitors.removeMonitor(12345);
    QTest::keyClick(probe, Qt::Key_Escape);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(monitors.monitorCount(), 0u);
    EXPECT_EQ(probe->keys, 2);
}

TEST_F(EventMonitorsTest, EventsOfAnotherWindowNameThatWindow) {
    QWidget other;
    other.resize(50, 50);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    monitors.addLocalMonitor(EventMask::leftMouseDown, [this](const Event& e) {
        seen.push_back(e);
        return true;
    });
    QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(1, 1));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].window, &other);
}

TEST(FakeEventMonitors, SendReportsWhetherTheEventGoesOn) {
    FakeEventMonitors monitors;
    monitors.addLocalMonitor(EventMask::keyDown,
                             [](const Event& e) { return e.keyCode != keycode::escape; });
    Event escape;
    escape.keyCode = keycode::escape;
    EXPECT_FALSE(monitors.send(escape));
    Event click;
    click.type = EventType::leftMouseDown;
    EXPECT_TRUE(monitors.send(click));
}

TEST(KeyCodes, QtKeysMapToTheDesignsCodes) {
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_Escape), 53);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_Return), 36);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_A), 0);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_F), 3);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_K), 40);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_Z), 6);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_0), 29);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_9), 25);
    EXPECT_EQ(keyCodeFromQtKey(Qt::Key_F13), keycode::unknown);
}

}  // namespace
}  // namespace corvanta::platform
