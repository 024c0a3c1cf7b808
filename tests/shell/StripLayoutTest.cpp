// Drag zones and resize handles: what they cover and what they leave clickable.
#include "shell/StripLayout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "GeometryPrinting.h"
#include "platform/qt/ShapeMask.h"
#include "shell/FloatingWindowController.h"

namespace corvanta {
namespace {

using platform::makeRect;
using platform::Point;
using platform::Rect;
using platform::Size;

template <class Rects>
int countContaining(const Rects& rects, Point p) {
    int count = 0;
    for (const Rect& r : rects) count += r.contains(p) ? 1 : 0;
    return count;
}

// The header's buttons, in widget coordinates of a panel `width` wide.
bool onHeaderButton(double width, Point p) {
    if (makeRect(31, 14, 145, 34).contains(p))
        return true;
    for (double rightInset : {10, 43, 76, 109, 142}) {
        if (makeRect(width - rightInset - 30, 16, 30, 30).contains(p))
            return true;
    }
    return false;
}

TEST(ExpandedDragZones, CoverTheHeaderBandExceptItsButtons) {
    for (const double width : {360.0, 432.0, 640.0}) {
        const auto zones = expandedDragZoneRects({width, 716});
        for (double y = 0.5; y < 70; y += 1) {
            for (double x = 0.5; x < width; x += 1) {
                const Point p{x, y};
                const int expected = (y < 62 && !onHeaderButton(width, p)) ? 1 : 0;
                ASSERT_EQ(countContaining(zones, p), expected)
                    << "width " << width << " at " << x << ", " << y;
            }
        }
    }
}

TEST(ResizeHandles, EdgesAndCornersTileTheBorderWithoutOverlap) {
    const Size content{432, 716};
    const auto handles = resizeHandleRects(content);
    EXPECT_EQ(handles[0], makeRect(12, 0, 408, 6));     // top
    EXPECT_EQ(handles[3], makeRect(426, 12, 6, 692));   // right
    EXPECT_EQ(handles[7], makeRect(420, 704, 12, 12));  // bottom-right
    const Point samples[] = {{0.5, 0.5},   {11.5, 3},    {12.5, 3},     {300, 5.5},
                             {431.5, 0.5}, {2, 300},     {429, 300},    {200, 713},
                             {0.5, 715.5}, {431.5, 715}, {425.5, 715.5}};
    for (const Point p : samples) EXPECT_EQ(countContaining(handles, p), 1) << p.x << ", " << p.y;
    // The inside of the panel is left alone.
    EXPECT_EQ(countContaining(handles, {6.5, 300}), 0);
    EXPECT_EQ(countContaining(handles, {200, 6.5}), 0);
}

// What the user can press is what the window is cut to without a compositor:
// each corner square keeps visible pixels, and every one of them lies on that
// corner's handle alone, at any scale.
TEST(ResizeHandles, EveryVisiblePixelOfACornerSquareResizesFromThatCorner) {
    for (const Size size : {Size{432, 716}, Size{360, 520}, Size{640, 900}}) {
        const auto handles = resizeHandleRects(size);
        const QSizeF logical(size.width, size.height);
        for (const double ratio : {1.0, 2.0}) {
            const QRegion visible = platform::shapeMaskRegion(
                FloatingWindowController::panelOutline(logical), logical.toSize(), ratio);
            for (std::size_t corner = 4; corner < handles.size(); ++corner) {
                const Rect square = handles[corner];
                int pixels = 0;
                for (int y = int(square.minY() * ratio); y < int(square.maxY() * ratio); ++y) {
                    for (int x = int(square.minX() * ratio); x < int(square.maxX() * ratio); ++x) {
                        if (!visible.contains(QPoint(x, y)))
                            continue;
                        ++pixels;
                        const Point p{(x + 0.5) / ratio, (y + 0.5) / ratio};
                        ASSERT_EQ(countContaining(handles, p), 1) << p.x << ", " << p.y;
                        ASSERT_TRUE(square.contains(p)) << p.x << ", " << p.y;
                    }
                }
                EXPECT_GT(pixels, 20 * ratio * ratio) << "corner " << corner << " at " << ratio;
            }
        }
    }
}

TEST(ResizeHandles, CornersResizeBothAxesEdgesOne) {
    EXPECT_TRUE(kTopLeftCorner.contains(ResizeEdges::top));
    EXPECT_TRUE(kTopLeftCorner.contains(ResizeEdges::left));
    EXPECT_FALSE(kTopEdge.contains(ResizeEdges::left));
    EXPECT_EQ(kBottomRightCorner.rawValue, 10);
    EXPECT_EQ(kTopRightCorner.rawValue, 6);
}

TEST(CollapsedDragZone, LeavesTheButtonsAtTheRightEnd) {
    EXPECT_EQ(collapsedDragZoneRect({230, 62}), makeRect(0, 0, 157, 62));
}

}  // namespace
}  // namespace corvanta
