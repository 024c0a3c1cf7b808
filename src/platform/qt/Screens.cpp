// The screen a frame lies on, and the process-wide screens object.
#include "platform/qt/Screens.h"

#include <algorithm>

#include "platform/qt/QtScreens.h"

namespace corvanta::platform {
namespace {
Screens* installedScreens = nullptr;

double overlapArea(const Rect& a, const Rect& b) {
    const double w = std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX());
    const double h = std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY());
    return w > 0 && h > 0 ? w * h : 0;
}
}  // namespace

std::optional<ScreenInfo> Screens::screenForFrame(const Rect& frame) const {
    std::optional<ScreenInfo> best;
    double bestArea = 0;
    for (const auto& screen : screens()) {
        const double area = overlapArea(screen.frame, frame);
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    return best;
}

Screens& Screens::shared() {
    if (installedScreens)
        return *installedScreens;
    static QtScreens fallback;
    return fallback;
}

void Screens::setShared(Screens* screens) {
    installedScreens = screens;
}

}  // namespace corvanta::platform
