// y-up conversion, display numbers and the screen a frame lies on.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/qt/FakeScreens.h"
#include "platform/qt/QtScreens.h"

namespace corvanta::platform {
namespace {

TEST(ScreenGeometry, ConvertsYDownToYUpAgainstThePrimaryScreen) {
    // Primary 1440 × 900 at the origin; a second screen above-left of it in
    // Qt's y-down space; a third to the right whose top is 100 lower.
    const Rect primary = makeRect(0, 0, 1440, 900);
    struct Case {
        Rect yDown;
        Rect yUp;
    } cases[] = {
        {makeRect(0, 0, 1440, 900), makeRect(0, 0, 1440, 900)},
        {makeRect(0, 25, 1440, 875), makeRect(0, 0, 1440, 875)},  // top panel of 25
        {makeRect(-1920, -1080, 1920, 1080), makeRect(-1920, 900, 1920, 1080)},
        {makeRect(1440, 100, 1280, 800), makeRect(1440, 0, 1280, 800)},
        {makeRect(1188, 110, 230, 62), makeRect(1188, 728, 230, 62)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(yUpFromYDown(c.yDown, primary), c.yUp) << stringFromRect(c.yDown);
        EXPECT_EQ(yDownFromYUp(c.yUp, primary), c.yDown) << stringFromRect(c.yUp);
    }
}

TEST(ScreenGeometry, PrimaryAwayFromTheOriginStillMapsItselfToTheOrigin) {
    const Rect primary = makeRect(200, 50, 1000, 700);
    EXPECT_EQ(yUpFromYDown(primary, primary), makeRect(0, 0, 1000, 700));
    const Rect window = makeRect(300, 100, 50, 40);
    EXPECT_EQ(yDownFromYUp(yUpFromYDown(window, primary), primary), window);
}

TEST(ScreenGeometry, DisplayIDIsStableAndTellsMonitorsApart) {
    const auto id = displayIDFor("HDMI-1", "Acme", "View 27", "SN123");
    EXPECT_EQ(id, displayIDFor("HDMI-1", "Acme", "View 27", "SN123"));
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, displayIDFor("HDMI-2", "Acme", "View 27", "SN123"));
    EXPECT_NE(id, displayIDFor("HDMI-1", "Acme", "View 27", "SN124"));
    // Text moved between fields is another monitor.
    EXPECT_NE(displayIDFor("ab", "c", "", ""), displayIDFor("a", "bc", "", ""));
    EXPECT_NE(displayIDFor("", "", "", ""), 0u);
}

ScreenInfo screen(Rect frame, std::uint32_t id) {
    return ScreenInfo{frame, frame, id};
}

TEST(Screens, FrameBelongsToTheScreenItOverlapsMostFirstOfEquals) {
    FakeScreens screens(
        {screen(makeRect(0, 0, 1000, 800), 1), screen(makeRect(1000, 0, 1000, 800), 2)});
    EXPECT_EQ(screens.screenForFrame(makeRect(900, 100, 300, 100))->displayID, 2u);
    EXPECT_EQ(screens.screenForFrame(makeRect(850, 100, 300, 100))->displayID, 1u);
    EXPECT_EQ(screens.screenForFrame(makeRect(900, 100, 200, 100))->displayID, 1u);  // tie
    // Touching an edge is no overlap; far away is no screen.
    EXPECT_FALSE(screens.screenForFrame(makeRect(2000, 0, 100, 100)).has_value());
    EXPECT_FALSE(screens.screenForFrame(makeRect(-5000, -5000, 10, 10)).has_value());
    EXPECT_FALSE(FakeScreens().screenForFrame(makeRect(0, 0, 10, 10)).has_value());
}

TEST(Screens, FakeMainScreenAndChangeNotification) {
    FakeScreens screens;
    EXPECT_FALSE(screens.mainScreen().has_value());
    int changes = 0;
    auto connection = screens.parametersChanged.connect([&] { ++changes; });
    screens.setScreens({screen(makeRect(0, 0, 10, 10), 7), screen(makeRect(10, 0, 10, 10), 8)});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(screens.mainScreen()->displayID, 7u);
    screens.setMainIndex(1);
    EXPECT_EQ(screens.mainScreen()->displayID, 8u);
    screens.setMainIndex(5);  // out of range: back to the first
    EXPECT_EQ(screens.mainScreen()->displayID, 7u);
}

TEST(QtScreens, ReportsThePrimaryScreenFirstInYUpCoordinates) {
    QtScreens screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    const auto list = screens.screens();
    ASSERT_FALSE(list.empty());
    const QRect g = primary->geometry();
    EXPECT_EQ(list.front().frame, makeRect(0, 0, g.width(), g.height()));
    const QRect a = primary->availableGeometry();
    EXPECT_EQ(list.front().visibleFrame,
              makeRect(a.x() - g.x(), g.bottom() + 1 - (a.bottom() + 1), a.width(), a.height()));
    EXPECT_EQ(list.front().displayID,
              displayIDFor(primary->name().toStdString(), primary->manufacturer().toStdString(),
                           primary->model().toStdString(), primary->serialNumber().toStdString()));
    ASSERT_TRUE(screens.mainScreen().has_value());
    EXPECT_EQ(screens.mainScreen()->displayID, list.front().displayID);
}

}  // namespace
}  // namespace corvanta::platform
