// Drag-zone and resize-handle rectangles; see StripLayout.h.
#include "shell/StripLayout.h"

#include <algorithm>

#include "shell/WindowMetrics.h"

namespace corvanta {

using platform::Rect;
using platform::Size;

namespace {

// A rectangle from its top-left corner; lengths that would be negative on a
// content area too small for the layout become 0.
Rect topDown(double x, double y, double width, double height) {
    return {{x, y}, {std::max(0.0, width), std::max(0.0, height)}};
}

constexpr double kHandleThickness = 6;
constexpr double kHandleCorner = 12;

}  // namespace

Rect collapsedDragZoneRect(Size content) {
    return topDown(0, 0, content.width - kCollapsedButtonsWidth, kCollapsedSize.height);
}

std::array<Rect, kExpandedDragZoneCount> expandedDragZoneRects(Size content) {
    const double w = content.width;
    // Vertical slivers between the icon buttons: their right edges lie this far
    // from the content's right edge.
    auto sliver = [w](double rightInset) { return topDown(w - rightInset - 3, 16, 3, 30); };
    return {
        topDown(0, 0, w, 14),                 // above the header's controls
        topDown(0, 48, w, 14),                // below them
        topDown(0, 14, 31, 34),               // left of the pack button
        topDown(176, 14, w - 176 - 172, 34),  // between the pack button and the icons
        topDown(w - 172, 14, 172, 2),         // above the icon buttons
        topDown(w - 172, 46, 172, 2),         // below them
        sliver(139),
        sliver(106),
        sliver(73),
        sliver(40),
        topDown(w - 10, 16, 10, 30),  // right of the last icon button
    };
}

std::array<Rect, kResizeHandleCount> resizeHandleRects(Size content) {
    const double w = content.width;
    const double h = content.height;
    const double t = kHandleThickness;
    const double c = kHandleCorner;
    return {
        topDown(c, 0, w - 2 * c, t),      // top
        topDown(c, h - t, w - 2 * c, t),  // bottom
        topDown(0, c, t, h - 2 * c),      // left
        topDown(w - t, c, t, h - 2 * c),  // right
        topDown(0, 0, c, c),              // top-left
        topDown(w - c, 0, c, c),          // top-right
        topDown(0, h - c, c, c),          // bottom-left
        topDown(w - c, h - c, c, c),      // bottom-right
    };
}

}  // namespace corvanta
