// Resize arithmetic for the panel's edge and corner handles.
#include "shell/ResizeEdges.h"

#include <algorithm>
#include <limits>

namespace corvanta {

namespace {

// The new length of one axis: what the mouse asks for, at least the minimum,
// at most the room left on screen or the maximum (but never below the minimum).
double limitedLength(double wanted, double room, double minimum, double maximum) {
    return std::min(std::max(minimum, std::min(room, maximum)), std::max(minimum, wanted));
}

}  // namespace

platform::Rect resizedFrame(ResizeEdges edges, const platform::Rect& startFrame,
                            platform::Point startMouse, platform::Point mouse,
                            const std::optional<platform::Rect>& bounds, platform::Size minSize,
                            platform::Size maxSize) {
    constexpr double kHuge = std::numeric_limits<double>::max();
    const double boundsMinX = bounds ? bounds->minX() : -kHuge;
    const double boundsMaxX = bounds ? bounds->maxX() : kHuge;
    const double boundsMinY = bounds ? bounds->minY() : -kHuge;
    const double boundsMaxY = bounds ? bounds->maxY() : kHuge;
    const double dx = mouse.x - startMouse.x;
    const double dy = mouse.y - startMouse.y;
    const platform::Rect& f = startFrame;

    double x = f.minX();
    double w = f.width();
    if (edges.contains(ResizeEdges::left)) {
        w = limitedLength(f.width() - dx, f.maxX() - boundsMinX, minSize.width, maxSize.width);
        x = f.maxX() - w;
    } else if (edges.contains(ResizeEdges::right)) {
        w = limitedLength(f.width() + dx, boundsMaxX - f.minX(), minSize.width, maxSize.width);
    }

    double y = f.minY();
    double h = f.height();
    if (edges.contains(ResizeEdges::bottom)) {
        h = limitedLength(f.height() - dy, f.maxY() - boundsMinY, minSize.height, maxSize.height);
        y = f.maxY() - h;
    } else if (edges.contains(ResizeEdges::top)) {
        h = limitedLength(f.height() + dy, boundsMaxY - f.minY(), minSize.height, maxSize.height);
    }
    return {{x, y}, {w, h}};
}

}  // namespace corvanta
