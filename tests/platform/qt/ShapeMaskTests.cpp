// The shape a window is cut to without a compositor: it must keep every pixel
// the plate covers and drop every pixel it does not touch, in device pixels.
#include <gtest/gtest.h>

#include <QPainterPath>
#include <QRegion>
#include <algorithm>
#include <cmath>

#include "platform/qt/ShapeMask.h"

namespace corvanta::platform {
namespace {

// A plate inset by one point with circular corners, and an exact inside test
// for it, both in logical coordinates.
struct Plate {
    QRectF rect;
    double radius;

    QPainterPath path() const {
        QPainterPath p;
        p.addRoundedRect(rect, radius, radius);
        return p;
    }
    // Signed distance from the outline: negative inside.
    double distance(QPointF p) const {
        const double cx = std::clamp(p.x(), rect.left() + radius, rect.right() - radius);
        const double cy = std::clamp(p.y(), rect.top() + radius, rect.bottom() - radius);
        const double inner = std::hypot(p.x() - cx, p.y() - cy);
        if (inner > 0)
            return inner - radius;
        // On the inner rectangle: the nearer straight side.
        return -std::min(
            {p.x() - rect.left(), rect.right() - p.x(), p.y() - rect.top(), rect.bottom() - p.y()});
    }
};

// Every device pixel that lies wholly inside the plate is kept; every one that
// lies wholly outside it is dropped.
void expectFollowsPlate(const Plate& plate, QSize logical, double ratio) {
    const QRegion region = shapeMaskRegion(plate.path(), logical, ratio);
    const double halfDiagonal = std::sqrt(0.5) / ratio;  // in logical units
    int kept = 0, dropped = 0;
    for (int y = 0; y < std::ceil(logical.height() * ratio); ++y) {
        for (int x = 0; x < std::ceil(logical.width() * ratio); ++x) {
            const double d = plate.distance(QPointF((x + 0.5) / ratio, (y + 0.5) / ratio));
            if (d < -halfDiagonal) {
                ASSERT_TRUE(region.contains(QPoint(x, y))) << x << "," << y << " at " << ratio;
                ++kept;
            } else if (d > halfDiagonal) {
                ASSERT_FALSE(region.contains(QPoint(x, y))) << x << "," << y << " at " << ratio;
                ++dropped;
            }
        }
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(dropped, 0);
}

TEST(ShapeMaskTest, KeepsThePlateAndDropsTheTransparentRingAtEveryScale) {
    const Plate bar{QRectF(1, 1, 228, 60), 15};
    for (const double ratio : {1.0, 1.5, 2.0}) expectFollowsPlate(bar, QSize(230, 62), ratio);
    const Plate panel{QRectF(1, 1, 430, 714), 15};
    expectFollowsPlate(panel, QSize(432, 716), 2.0);

    // The straight edges: the 1-point ring outside the plate goes, the plate's
    // first pixel stays.
    const QRegion one = shapeMaskRegion(bar.path(), QSize(230, 62), 1);
    EXPECT_EQ(one.boundingRect(), QRect(1, 1, 228, 60));
    const QRegion two = shapeMaskRegion(bar.path(), QSize(230, 62), 2);
    EXPECT_EQ(two.boundingRect(), QRect(2, 2, 456, 120));
}

TEST(ShapeMaskTest, CornersAreSteppedInDevicePixelsNotInPoints) {
    const Plate bar{QRectF(1, 1, 228, 60), 15};
    const QRegion two = shapeMaskRegion(bar.path(), QSize(230, 62), 2);
    // A mask made in points and scaled up has only even edges; the corners'
    // staircase at twice the scale has odd ones as well.
    const bool anyOdd = std::any_of(two.begin(), two.end(), [](const QRect& r) {
        return r.left() % 2 != 0 || r.top() % 2 != 0 || r.width() % 2 != 0 || r.height() % 2 != 0;
    });
    EXPECT_TRUE(anyOdd);
}

TEST(ShapeMaskTest, NothingToCoverGivesAnEmptyRegion) {
    EXPECT_TRUE(shapeMaskRegion(QPainterPath(), QSize(230, 62), 1).isEmpty());
    const Plate bar{QRectF(1, 1, 228, 60), 15};
    EXPECT_TRUE(shapeMaskRegion(bar.path(), QSize(0, 0), 1).isEmpty());
    // A nonsensical ratio is read as 1.
    EXPECT_EQ(shapeMaskRegion(bar.path(), QSize(230, 62), 0),
              shapeMaskRegion(bar.path(), QSize(230, 62), 1));
}

}  // namespace
}  // namespace corvanta::platform
