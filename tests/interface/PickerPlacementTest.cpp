// Where the pack picker opens for a pack button anywhere on a screen.
#include <gtest/gtest.h>

#include "interface/SoftwarePickerPopover.h"

namespace corvanta {
namespace {

using P = SoftwarePickerPopover;
using Edge = P::ArrowEdge;
constexpr int kChrome = 134;
constexpr int kFull = kChrome + P::kListHeight;

struct Case {
    const char* name;
    QRect button;
    QRect screen;
    QRect frame;
    int listHeight;
    Edge edge;
};

TEST(PickerPlacement, NeverCoversTheButtonAndPointsAtIt) {
    const QRect tall(0, 0, 1600, 1400);
    const QRect short900(0, 0, 1440, 900);
    const Case cases[] = {
        {"fits below", QRect(400, 50, 145, 34), tall,
         QRect(472 - P::kWidth / 2, 84, P::kWidth, kFull), P::kListHeight, Edge::top},
        {"fits below to the last pixel", QRect(400, 1400 - kFull - 34, 145, 34), tall,
         QRect(472 - P::kWidth / 2, 1400 - kFull, P::kWidth, kFull), P::kListHeight, Edge::top},
        {"one pixel short below: opens above", QRect(400, 1401 - kFull - 34, 145, 34), tall,
         QRect(472 - P::kWidth / 2, 1401 - 2 * kFull - 34, P::kWidth, kFull), P::kListHeight,
         Edge::bottom},
        {"near the bottom: above", QRect(400, 1300, 145, 34), tall,
         QRect(472 - P::kWidth / 2, 1300 - kFull, P::kWidth, kFull), P::kListHeight, Edge::bottom},
        // The panel's top at 380 of 900: neither side holds the whole list.
        {"neither, more room below", QRect(480, 392, 145, 34), short900,
         QRect(552 - P::kWidth / 2, 426, P::kWidth, 474), 474 - kChrome, Edge::top},
        {"neither, more room above", QRect(480, 500, 145, 34), short900,
         QRect(552 - P::kWidth / 2, 0, P::kWidth, 500), 500 - kChrome, Edge::bottom},
        {"a screen that does not start at 0", QRect(100, 300, 145, 34), QRect(0, 20, 800, 560),
         QRect(0, 20, P::kWidth, 280), 280 - kChrome, Edge::bottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const P::Placement place = P::placement(c.button, c.screen, kChrome);
        EXPECT_EQ(place.frame, c.frame);
        EXPECT_EQ(place.listHeight, c.listHeight);
        EXPECT_EQ(place.arrowEdge, c.edge);
        EXPECT_FALSE(place.frame.intersects(c.button));
        EXPECT_TRUE(c.screen.contains(place.frame));
        EXPECT_EQ(place.frame.height(), kChrome + place.listHeight);
        // The arrow's tip is on the edge that faces the button, at its centre.
        EXPECT_EQ(place.arrowEdge == Edge::top ? place.frame.top() - 1 : place.frame.bottom() + 1,
                  place.arrowEdge == Edge::top ? c.button.bottom() : c.button.top());
        EXPECT_EQ(place.frame.left() + place.arrowX, c.button.center().x());
    }
}

TEST(PickerPlacement, ScreenEdgesMoveThePopoverNotTheArrowTip) {
    const QRect screen(-1920, 0, 1920, 1080);  // a screen left of the primary one
    for (const QRect& button : {QRect(-1900, 40, 60, 34), QRect(-90, 40, 60, 34)}) {
        const P::Placement place = P::placement(button, screen, kChrome);
        EXPECT_TRUE(screen.contains(place.frame)) << place.frame.x();
        EXPECT_EQ(place.frame.left() + place.arrowX, button.center().x());
    }
    // A button in the very corner: the arrow stops short of the rounded corner.
    const P::Placement corner =
        P::placement(QRect(0, 40, 8, 34), screen.translated(1920, 0), kChrome);
    EXPECT_EQ(corner.frame.left(), 0);
    EXPECT_EQ(corner.arrowX, static_cast<int>(P::kCornerRadius) + P::kArrowWidth / 2);
}

}  // namespace
}  // namespace corvanta
