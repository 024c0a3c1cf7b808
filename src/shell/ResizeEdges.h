// Which window edges a resize handle moves, and the frame a resize drag gives.
#pragma once

#include <optional>

#include "platform/foundation/Geometry.h"

namespace corvanta {

// Edges in y-up screen coordinates: `top` is the frame's maximum y. Corners are
// unions of two edges.
struct ResizeEdges {
    int rawValue = 0;

    static constexpr int left = 1;
    static constexpr int right = 2;
    static constexpr int top = 4;
    static constexpr int bottom = 8;

    constexpr bool contains(int edge) const { return (rawValue & edge) == edge; }
    bool operator==(const ResizeEdges&) const = default;
};

inline constexpr ResizeEdges kTopEdge{ResizeEdges::top};
inline constexpr ResizeEdges kBottomEdge{ResizeEdges::bottom};
inline constexpr ResizeEdges kLeftEdge{ResizeEdges::left};
inline constexpr ResizeEdges kRightEdge{ResizeEdges::right};
inline constexpr ResizeEdges kTopLeftCorner{ResizeEdges::top | ResizeEdges::left};
inline constexpr ResizeEdges kTopRightCorner{ResizeEdges::top | ResizeEdges::right};
inline constexpr ResizeEdges kBottomLeftCorner{ResizeEdges::bottom | ResizeEdges::left};
inline constexpr ResizeEdges kBottomRightCorner{ResizeEdges::bottom | ResizeEdges::right};

// The frame for a resize drag that started with the window at `startFrame` and
// the mouse at `startMouse`, the mouse now being at `mouse` (all y-up screen
// coordinates). The opposite edge stays put; each moving edge stays inside
// `bounds` (unbounded when absent) and the size inside min…max, the minimum
// winning over the room on screen. Always computed from the start of the drag,
// so moving back to the start restores the start frame.
platform::Rect resizedFrame(ResizeEdges edges, const platform::Rect& startFrame,
                            platform::Point startMouse, platform::Point mouse,
                            const std::optional<platform::Rect>& bounds, platform::Size minSize,
                            platform::Size maxSize);

}  // namespace corvanta
