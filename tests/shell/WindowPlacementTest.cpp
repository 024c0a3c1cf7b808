// Placement, limits, persistence and screen-change arithmetic of the panel.
#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GeometryPrinting.h"
#include "shell/WindowMetrics.h"

namespace corvanta {
namespace {

using platform::makeRect;
using platform::MemoryUserDefaults;
using platform::Point;
using platform::Rect;
using platform::Size;

// A laptop screen with a 25-point menu bar: visible frame (0, 25, 1440, 875).
const ScreenLayout::Screen kLaptop{makeRect(0, 25, 1440, 875), 101};
// An external screen to the right of the laptop.
const ScreenLayout::Screen kExternal{makeRect(1440, 0, 1920, 1080), 202};
// An external screen to the left of the laptop.
const ScreenLayout::Screen kLeftExternal{makeRect(-1920, 0, 1920, 1080), 303};

ScreenLayout laptopOnly() {
    return {{kLaptop}, 0};
}
ScreenLayout laptopAndExternal() {
    return {{kLaptop, kExternal}, 0};
}

struct InitialFrameCase {
    std::string name;
    ScreenLayout screens;
    std::vector<std::pair<std::string, platform::DefaultsValue>> settings;
    Rect expected;
};

class InitialFrameTest : public testing::TestWithParam<InitialFrameCase> {};

TEST_P(InitialFrameTest, PlacesCollapsedBar) {
    const auto& c = GetParam();
    MemoryUserDefaults defaults;
    for (const auto& [key, value] : c.settings) defaults.set(key, value);
    EXPECT_EQ(initialFrame(kCollapsedSize, c.screens, defaults), c.expected);
    // Placing the window never writes anything.
    EXPECT_EQ(defaults.values().size(), c.settings.size());
}

INSTANTIATE_TEST_SUITE_P(
    Placement, InitialFrameTest,
    testing::Values(
        InitialFrameCase{"FirstLaunchNearTopRight", laptopOnly(), {}, makeRect(1188, 728, 230, 62)},
        InitialFrameCase{"SavedTopRight",
                         laptopOnly(),
                         {{"CorvantaWindowTopRight", std::string("{1000, 800}")}},
                         makeRect(770, 738, 230, 62)},
        InitialFrameCase{"SavedTopRightOffScreenIsPulledIn",
                         laptopOnly(),
                         {{"CorvantaWindowTopRight", std::string("{5000, 3000}")}},
                         makeRect(1210, 838, 230, 62)},
        // Unreadable text parses as (0, 0); the bar lands in the bottom-left corner.
        InitialFrameCase{"SavedTopRightGarbage",
                         laptopOnly(),
                         {{"CorvantaWindowTopRight", std::string("nowhere")}},
                         makeRect(0, 25, 230, 62)},
        InitialFrameCase{"LegacyFrameGivesTopRight",
                         laptopOnly(),
                         {{"CorvantaWindowFrame", std::string("{{100, 200}, {300, 400}}")}},
                         makeRect(170, 538, 230, 62)},
        InitialFrameCase{"LegacyFrameWithoutWidthIsIgnored",
                         laptopOnly(),
                         {{"CorvantaWindowFrame", std::string("{{100, 200}, {0, 400}}")}},
                         makeRect(1188, 728, 230, 62)},
        InitialFrameCase{"TopRightWinsOverLegacyFrame",
                         laptopOnly(),
                         {{"CorvantaWindowFrame", std::string("{{100, 200}, {300, 400}}")},
                          {"CorvantaWindowTopRight", std::string("{1000, 800}")}},
                         makeRect(770, 738, 230, 62)},
        // The point lies on the laptop's right edge: it belongs to the external screen.
        InitialFrameCase{"PointOnRightEdgeBelongsToNeighbour",
                         laptopAndExternal(),
                         {{"CorvantaWindowTopRight", std::string("{1440, 500}")}},
                         makeRect(1440, 438, 230, 62)},
        // On the laptop's top edge and on no screen: the main screen takes it.
        InitialFrameCase{"PointOnTopEdgeFallsBackToMain",
                         ScreenLayout{{kExternal, kLaptop}, 0},
                         {{"CorvantaWindowTopRight", std::string("{700, 900}")}},
                         makeRect(1440, 838, 230, 62)},
        InitialFrameCase{"SavedDisplayWinsOverContainment",
                         laptopAndExternal(),
                         {{"CorvantaWindowTopRight", std::string("{1000, 800}")},
                          {"CorvantaWindowDisplayID", std::int64_t{202}}},
                         makeRect(1440, 738, 230, 62)},
        InitialFrameCase{"DisconnectedDisplayFallsBackToContainment",
                         laptopOnly(),
                         {{"CorvantaWindowTopRight", std::string("{1000, 800}")},
                          {"CorvantaWindowDisplayID", std::int64_t{202}}},
                         makeRect(770, 738, 230, 62)},
        InitialFrameCase{"DisplayStoredAsTextIsIgnored",
                         laptopAndExternal(),
                         {{"CorvantaWindowTopRight", std::string("{1000, 800}")},
                          {"CorvantaWindowDisplayID", std::string("202")}},
                         makeRect(770, 738, 230, 62)},
        InitialFrameCase{"SavedDisplayPlaysNoPartWithoutPoint",
                         laptopAndExternal(),
                         {{"CorvantaWindowDisplayID", std::int64_t{202}}},
                         makeRect(1188, 728, 230, 62)},
        InitialFrameCase{"NoMainScreenUsesFirst",
                         ScreenLayout{{kExternal, kLaptop}, std::nullopt},
                         {},
                         makeRect(3360 - 252, 1080 - 172, 230, 62)},
        InitialFrameCase{
            "NoScreenUsesFallbackBounds", ScreenLayout{}, {}, makeRect(1188, 728, 230, 62)},
        InitialFrameCase{"NoScreenWithPoint",
                         ScreenLayout{},
                         {{"CorvantaWindowTopRight", std::string("{2000, 2000}")}},
                         makeRect(1210, 838, 230, 62)}),
    [](const auto& info) { return info.param.name; });

TEST(ExpandedSize, SavedValueIsClampedOrDefaulted) {
    const std::vector<std::pair<std::optional<platform::DefaultsValue>, Size>> cases = {
        {std::nullopt, {432, 716}},
        {std::string("{1000, 2000}"), {640, 900}},
        {std::string("{100, 100}"), {360, 520}},
        {std::string("{500, 600.5}"), {500, 600.5}},
        {std::string("{0, 700}"), {432, 716}},
        {std::string("{500, -1}"), {432, 716}},
        {std::string("rubbish"), {432, 716}},
        {std::string("{inf, 600}"), {432, 716}},
        {std::int64_t{500}, {432, 716}},  // not a string at all
    };
    for (const auto& [stored, expected] : cases) {
        MemoryUserDefaults defaults;
        if (stored)
            defaults.set("CorvantaExpandedWindowSize", *stored);
        EXPECT_EQ(savedExpandedSize(defaults), expected)
            << (stored && std::holds_alternative<std::string>(*stored)
                    ? std::get<std::string>(*stored)
                    : "(absent or number)");
    }
}

TEST(ExpandedSize, RecordedSizeIsClampedAndReadsBackExactly) {
    MemoryUserDefaults defaults;
    EXPECT_EQ(recordExpandedSize(defaults, {1000.25, 300}), (Size{640, 520}));
    EXPECT_EQ(savedExpandedSize(defaults), (Size{640, 520}));
    EXPECT_EQ(recordExpandedSize(defaults, {433.3, 701.7}), (Size{433.3, 701.7}));
    EXPECT_EQ(savedExpandedSize(defaults), (Size{433.3, 701.7}));
}

TEST(ExpandedSize, LimitsFollowTheVisibleFrame) {
    EXPECT_EQ(expandedSizeLimits(std::nullopt), (SizeLimits{{360, 520}, {640, 900}}));
    EXPECT_EQ(expandedSizeLimits(kLaptop.visibleFrame), (SizeLimits{{360, 520}, {640, 875}}));
    EXPECT_EQ(expandedSizeLimits(makeRect(0, 0, 600, 500)), (SizeLimits{{360, 500}, {600, 500}}));
    EXPECT_EQ(expandedSizeLimits(makeRect(0, 0, 300, 400)), (SizeLimits{{300, 400}, {300, 400}}));
    // On the small screen the default size becomes exactly 500 high.
    EXPECT_EQ(sizeWithinLimits({432, 716}, expandedSizeLimits(makeRect(0, 0, 600, 500))),
              (Size{432, 500}));
}

TEST(WindowPosition, SavesTopRightAndKnownDisplayOnly) {
    MemoryUserDefaults defaults;
    saveWindowPosition(defaults, makeRect(770, 738, 230, 62), 101u);
    EXPECT_EQ(defaults.string("CorvantaWindowTopRight"), "{1000, 800}");
    EXPECT_EQ(defaults.number("CorvantaWindowDisplayID"), 101);
    saveWindowPosition(defaults, makeRect(10.5, 20, 230, 62), std::nullopt);
    EXPECT_EQ(savedTopRight(defaults), (Point{240.5, 82}));
    EXPECT_EQ(defaults.number("CorvantaWindowDisplayID"), 101);
    EXPECT_FALSE(defaults.object("CorvantaWindowFrame"));
}

TEST(Constrained, MovesWithoutResizing) {
    const Rect bounds = makeRect(0, 25, 1440, 875);
    EXPECT_EQ(constrained(makeRect(100, 100, 230, 62), bounds), makeRect(100, 100, 230, 62));
    EXPECT_EQ(constrained(makeRect(-50, -50, 230, 62), bounds), makeRect(0, 25, 230, 62));
    EXPECT_EQ(constrained(makeRect(1400, 880, 230, 62), bounds), makeRect(1210, 838, 230, 62));
    // Too wide: left edges meet. Too tall: bottom edges meet, the top sticks out.
    EXPECT_EQ(constrained(makeRect(300, 300, 2000, 62), bounds), makeRect(0, 300, 2000, 62));
    EXPECT_EQ(constrained(makeRect(300, 300, 230, 2000), bounds), makeRect(300, 25, 230, 2000));
}

TEST(SwitchTarget, ExpandsAndCollapsesAroundTheTopRightCorner) {
    const Rect bounds = kLaptop.visibleFrame;
    const Rect collapsed = makeRect(770, 738, 230, 62);
    const Size target = sizeWithinLimits(kDefaultExpandedSize, expandedSizeLimits(bounds));
    const Rect expanded = switchTargetFrame(collapsed, target, bounds);
    EXPECT_EQ(expanded, makeRect(568, 84, 432, 716));
    EXPECT_EQ(switchTargetFrame(expanded, kCollapsedSize, bounds), collapsed);
}

TEST(SwitchTarget, GrowsUpwardAtTheBottomOfTheScreen) {
    const Rect bounds = kLaptop.visibleFrame;
    const Rect collapsed = makeRect(1000, 30, 230, 62);
    const Rect expanded = switchTargetFrame(collapsed, {432, 716}, bounds);
    EXPECT_EQ(expanded, makeRect(798, 25, 432, 716));
    // Collapsing keeps the (moved) top-right corner.
    EXPECT_EQ(switchTargetFrame(expanded, kCollapsedSize, bounds), makeRect(1000, 679, 230, 62));
}

TEST(SwitchTarget, WithoutScreenStaysInsideTheOldFrame) {
    EXPECT_EQ(switchTargetFrame(makeRect(770, 738, 230, 62), {432, 716}, std::nullopt),
              makeRect(770, 738, 432, 716));
}

TEST(ScreenChange, DisconnectedScreenMovesCollapsedBarToTheFirstScreen) {
    // The bar sat on a screen at the far right that is gone now; it overlaps nothing.
    const ScreenLayout screens{{kLaptop, kLeftExternal}, 0};
    const auto frame =
        frameConstrainedToVisibleScreen(makeRect(4000, 500, 230, 62), false, nullptr, screens);
    EXPECT_EQ(frame, makeRect(1210, 500, 230, 62));
}

TEST(ScreenChange, WindowWithoutScreenGoesWhereItOverlapsMost) {
    const ScreenLayout screens{{kLaptop, kLeftExternal}, 0};
    // 150 points on the left screen, 80 on the laptop.
    EXPECT_EQ(
        frameConstrainedToVisibleScreen(makeRect(-150, 300, 230, 62), false, nullptr, screens),
        makeRect(-230, 300, 230, 62));
    // Equal overlap: the first screen of the list wins.
    EXPECT_EQ(
        frameConstrainedToVisibleScreen(makeRect(-115, 300, 230, 62), false, nullptr, screens),
        makeRect(0, 300, 230, 62));
}

TEST(ScreenChange, ExpandedWindowIsReLimitedKeepingTopRight) {
    const ScreenLayout::Screen small{makeRect(0, 0, 600, 500), 7};
    const ScreenLayout screens{{small}, 0};
    EXPECT_EQ(frameConstrainedToVisibleScreen(makeRect(100, 0, 432, 716), true, &small, screens),
              makeRect(100, 0, 432, 500));
    // Collapsed windows keep their size even when larger than the screen.
    EXPECT_EQ(frameConstrainedToVisibleScreen(makeRect(100, 0, 432, 716), false, &small, screens),
              makeRect(100, 0, 432, 716));
}

TEST(ScreenChange, NoScreenAtAllDoesNothing) {
    EXPECT_EQ(frameConstrainedToVisibleScreen(makeRect(0, 0, 230, 62), false, nullptr, {}),
              std::nullopt);
}

TEST(SearchBand, CoversTheSearchFieldOnlyWithOpenMaximumEdges) {
    const Size window{432, 716};
    const Rect band = searchBand(window);
    EXPECT_EQ(band, makeRect(13, 608, 406, 36));
    EXPECT_TRUE(band.contains({13, 608}));
    EXPECT_FALSE(band.contains({419, 620}));  // right edge
    EXPECT_FALSE(band.contains({100, 644}));  // top edge: 72 points below the panel's top
    EXPECT_TRUE(band.contains({100, 643.5}));
    EXPECT_FALSE(band.contains({12.9, 620}));
    // The collapsed bar has no search band inside it.
    const Rect collapsed = searchBand(kCollapsedSize);
    EXPECT_LE(collapsed.maxY(), 0);
    EXPECT_EQ(searchBand({20, 716}).width(), 0);
}

}  // namespace
}  // namespace corvanta
