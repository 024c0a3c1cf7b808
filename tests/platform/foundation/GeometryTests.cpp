// Geometry: the text forms read back exactly, parsing is tolerant, and
// rectangles intersect only where they overlap.
#include "platform/foundation/Geometry.h"

#include <gtest/gtest.h>

namespace corvanta::platform {
namespace {

TEST(GeometryStrings, WriteShortestFormsThatReadBackExactly) {
    EXPECT_EQ(stringFromSize({432, 716}), "{432, 716}");
    EXPECT_EQ(stringFromPoint({1440, -0.5}), "{1440, -0.5}");
    EXPECT_EQ(stringFromRect(makeRect(770, 738, 230, 62)), "{{770, 738}, {230, 62}}");

    for (const double v : {0.1, 1e-7, 1440.0, -3.25, 1.0 / 3.0, 123456789.123, 1e300, 0.0}) {
        EXPECT_EQ(pointFromString(stringFromPoint({v, -v})), (Point{v, -v})) << v;
        EXPECT_EQ(sizeFromString(stringFromSize({v, v})), (Size{v, v})) << v;
        const Rect r = makeRect(v, 2 * v, v / 7, 1);
        EXPECT_EQ(rectFromString(stringFromRect(r)), r) << v;
    }
}

TEST(GeometryStrings, ParsingIsTolerant) {
    EXPECT_EQ(pointFromString("{1, 2"), (Point{1, 2}));
    EXPECT_EQ(pointFromString(""), (Point{0, 0}));
    EXPECT_EQ(sizeFromString("{5}"), (Size{5, 0}));
    EXPECT_EQ(sizeFromString("width 3 height .5 extra 9"), (Size{3, 0.5}));
    EXPECT_EQ(pointFromString("{-1e2,+4}"), (Point{-100, 4}));
    EXPECT_EQ(rectFromString("{{1, 2}, {3"), makeRect(1, 2, 3, 0));
    EXPECT_EQ(rectFromString("garbage"), Rect{});
    // Out-of-range and non-finite text never yields an infinity.
    EXPECT_EQ(sizeFromString("{1e999, inf}"), (Size{0, 0}));
}

TEST(GeometryRect, IntersectionNeedsAnOverlap) {
    const Rect a = makeRect(0, 0, 100, 50);
    EXPECT_TRUE(a.intersects(makeRect(90, 40, 20, 20)));
    EXPECT_EQ(a.intersection(makeRect(90, 40, 20, 20)), makeRect(90, 40, 10, 10));
    EXPECT_EQ(a.intersection(makeRect(-10, -10, 500, 500)), a);
    // Touching edges and empty rectangles do not intersect.
    EXPECT_FALSE(a.intersects(makeRect(100, 0, 10, 10)));
    EXPECT_FALSE(a.intersects(makeRect(10, 10, 0, 10)));
    EXPECT_EQ(a.intersection(makeRect(100, 0, 10, 10)), Rect{});
    EXPECT_TRUE(a.contains({0, 0}));
    EXPECT_FALSE(a.contains({100, 10}));
}

}  // namespace
}  // namespace corvanta::platform
