// Resize-handle arithmetic: every edge and corner, screen and size limits.
#include "shell/ResizeEdges.h"

#include <gtest/gtest.h>

#include <string>

#include "GeometryPrinting.h"
#include "shell/StripLayout.h"

namespace corvanta {
namespace {

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

// An expanded panel on the laptop screen (visible frame (0, 25, 1440, 875)),
// with the limits that screen gives.
const Rect kStart = makeRect(568, 84, 432, 716);
const Rect kBounds = makeRect(0, 25, 1440, 875);
const Size kMin{360, 520};
const Size kMax{640, 875};
const Point kMouse{700, 500};

struct ResizeCase {
    std::string name;
    ResizeEdges edges;
    Rect start;
    double dx;
    double dy;
    Rect expected;
};

class ResizeTest : public testing::TestWithParam<ResizeCase> {};

TEST_P(ResizeTest, MovesOnlyTheHandlesEdges) {
    const auto& c = GetParam();
    const Point mouse{kMouse.x + c.dx, kMouse.y + c.dy};
    EXPECT_EQ(resizedFrame(c.edges, c.start, kMouse, mouse, kBounds, kMin, kMax), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, ResizeTest,
    testing::Values(
        ResizeCase{"LeftOutward", kLeftEdge, kStart, -40, 99, makeRect(528, 84, 472, 716)},
        ResizeCase{"LeftFarRightStopsAtMinimum", kLeftEdge, kStart, 500, 0,
                   makeRect(640, 84, 360, 716)},
        ResizeCase{"LeftFarLeftStopsAtMaximum", kLeftEdge, kStart, -1000, 0,
                   makeRect(360, 84, 640, 716)},
        ResizeCase{"LeftFarLeftStopsAtScreenEdge", kLeftEdge, makeRect(100, 84, 432, 716), -1000, 0,
                   makeRect(0, 84, 532, 716)},
        ResizeCase{"RightOutward", kRightEdge, kStart, 30, -7, makeRect(568, 84, 462, 716)},
        ResizeCase{"RightFarRightStopsAtMaximum", kRightEdge, kStart, 1000, 0,
                   makeRect(568, 84, 640, 716)},
        ResizeCase{"RightStopsAtScreenEdge", kRightEdge, makeRect(1000, 84, 360, 716), 1000, 0,
                   makeRect(1000, 84, 440, 716)},
        ResizeCase{"TopUpStopsAtVisibleTop", kTopEdge, kStart, 0, 500, makeRect(568, 84, 432, 816)},
        ResizeCase{"TopDownStopsAtMinimum", kTopEdge, kStart, 0, -500, makeRect(568, 84, 432, 520)},
        ResizeCase{"BottomDownStopsAtVisibleBottom", kBottomEdge, kStart, 0, -500,
                   makeRect(568, 25, 432, 775)},
        ResizeCase{"BottomUpStopsAtMinimum", kBottomEdge, kStart, 0, 500,
                   makeRect(568, 280, 432, 520)},
        ResizeCase{"TopLeftBothAxes", kTopLeftCorner, kStart, -50, 30, makeRect(518, 84, 482, 746)},
        ResizeCase{"TopRightBothAxes", kTopRightCorner, kStart, 20, 10,
                   makeRect(568, 84, 452, 726)},
        ResizeCase{"BottomLeftBothAxes", kBottomLeftCorner, kStart, 10, 10,
                   makeRect(578, 94, 422, 706)},
        ResizeCase{"BottomRightBothAxes", kBottomRightCorner, kStart, 10, -20,
                   makeRect(568, 64, 442, 736)},
        // The room on screen (300) is below the minimum (360): the minimum wins
        // and the right edge leaves the visible frame.
        ResizeCase{"MinimumWinsOverRoom", kRightEdge, makeRect(1140, 84, 360, 716), 0, 0,
                   makeRect(1140, 84, 360, 716)}),
    [](const auto& info) { return info.param.name; });

TEST(Resize, ReturningToTheStartRestoresTheStartFrame) {
    for (const ResizeEdges edges : kResizeHandleEdges) {
        // Wander off and come back: only the start and the current mouse matter.
        const Rect wandered = resizedFrame(edges, kStart, kMouse, {kMouse.x - 333, kMouse.y + 77},
                                           kBounds, kMin, kMax);
        EXPECT_NE(wandered, kStart) << edges.rawValue;
        EXPECT_EQ(resizedFrame(edges, kStart, kMouse, kMouse, kBounds, kMin, kMax), kStart)
            << edges.rawValue;
    }
}

TEST(Resize, WithoutScreenOnlyTheSizeLimitsApply) {
    EXPECT_EQ(resizedFrame(kLeftEdge, kStart, kMouse, {-5000, 500}, std::nullopt, kMin, kMax),
              makeRect(360, 84, 640, 716));
    EXPECT_EQ(resizedFrame(kTopEdge, kStart, kMouse, {700, 5000}, std::nullopt, kMin, kMax),
              makeRect(568, 84, 432, 875));
}

}  // namespace
}  // namespace corvanta
