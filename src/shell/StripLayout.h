// Where the panel's drag zones and resize handles lie inside its content, as
// rectangles in widget coordinates (origin top-left, y down) for a given size.
#pragma once

#include <array>

#include "platform/foundation/Geometry.h"
#include "shell/ResizeEdges.h"

namespace corvanta {

inline constexpr int kExpandedDragZoneCount = 11;
inline constexpr int kResizeHandleCount = 8;

// Handle edges in creation order; `resizeHandleRects` uses the same order.
inline constexpr std::array<ResizeEdges, kResizeHandleCount> kResizeHandleEdges{
    kTopEdge,       kBottomEdge,     kLeftEdge,         kRightEdge,
    kTopLeftCorner, kTopRightCorner, kBottomLeftCorner, kBottomRightCorner};

// The collapsed bar's zone: everything but the buttons at its right end.
platform::Rect collapsedDragZoneRect(platform::Size content);

// The expanded header band's eleven zones, leaving out the pack button
// (x 31…176, y 14…48) and five 30-point icon buttons at the right.
std::array<platform::Rect, kExpandedDragZoneCount> expandedDragZoneRects(platform::Size content);

// 6-point edge strips stopping 12 points short of each corner, and 12-point
// corner squares, in `kResizeHandleEdges` order.
std::array<platform::Rect, kResizeHandleCount> resizeHandleRects(platform::Size content);

}  // namespace corvanta
