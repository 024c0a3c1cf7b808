// Window arithmetic of the floating panel; see WindowPlacement.h.
#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cmath>

#include "shell/WindowMetrics.h"

namespace corvanta {

using platform::Point;
using platform::Rect;
using platform::Size;

Size clampedExpandedSize(Size size) {
    return {std::clamp(size.width, kExpandedMinWidth, kExpandedMaxWidth),
            std::clamp(size.height, kExpandedMinHeight, kExpandedMaxHeight)};
}

SizeLimits expandedSizeLimits(const std::optional<Rect>& visibleFrame) {
    if (!visibleFrame) {
        return {{kExpandedMinWidth, kExpandedMinHeight}, {kExpandedMaxWidth, kExpandedMaxHeight}};
    }
    const Size maximum{std::min(visibleFrame->width(), kExpandedMaxWidth),
                       std::min(visibleFrame->height(), kExpandedMaxHeight)};
    const Size minimum{std::min(maximum.width, kExpandedMinWidth),
                       std::min(maximum.height, kExpandedMinHeight)};
    return {minimum, maximum};
}

Size sizeWithinLimits(Size size, const SizeLimits& limits) {
    return {std::min(limits.maximum.width, std::max(limits.minimum.width, size.width)),
            std::min(limits.maximum.height, std::max(limits.minimum.height, size.height))};
}

Size savedExpandedSize(const platform::UserDefaults& defaults) {
    const auto text = defaults.string(kExpandedWindowSizeKey);
    if (!text)
        return kDefaultExpandedSize;
    const Size size = platform::sizeFromString(*text);
    const bool usable = std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 &&
                        size.height > 0;
    return usable ? clampedExpandedSize(size) : kDefaultExpandedSize;
}

Size recordExpandedSize(platform::UserDefaults& defaults, Size size) {
    const Size clamped = clampedExpandedSize(size);
    defaults.setString(kExpandedWindowSizeKey, platform::stringFromSize(clamped));
    return clamped;
}

std::optional<Point> savedTopRight(const platform::UserDefaults& defaults) {
    if (const auto text = defaults.string(kWindowTopRightKey)) {
        const Point p = platform::pointFromString(*text);
        // A corrupt value must not place the window nowhere; treat it as absent.
        if (std::isfinite(p.x) && std::isfinite(p.y))
            return p;
        return std::nullopt;
    }
    if (const auto text = defaults.string(kLegacyWindowFrameKey)) {
        const Rect frame = platform::rectFromString(*text);
        if (frame.width() > 0 && frame.height() > 0 && std::isfinite(frame.maxX()) &&
            std::isfinite(frame.maxY())) {
            return Point{frame.maxX(), frame.maxY()};
        }
    }
    return std::nullopt;
}

void saveWindowPosition(platform::UserDefaults& defaults, const Rect& frame,
                        std::optional<std::uint32_t> displayID) {
    defaults.setString(kWindowTopRightKey, platform::stringFromPoint({frame.maxX(), frame.maxY()}));
    if (displayID)
        defaults.setInteger(kWindowDisplayIDKey, static_cast<std::int64_t>(*displayID));
}

Rect constrained(const Rect& rect, const Rect& bounds) {
    const double x = std::min(std::max(bounds.minX(), bounds.maxX() - rect.width()),
                              std::max(bounds.minX(), rect.minX()));
    const double y = std::min(std::max(bounds.minY(), bounds.maxY() - rect.height()),
                              std::max(bounds.minY(), rect.minY()));
    return {{x, y}, rect.size};
}

Rect initialFrame(Size size, const ScreenLayout& screens, const platform::UserDefaults& defaults) {
    const ScreenLayout::Screen* fallback = screens.fallbackScreen();
    const auto topRight = savedTopRight(defaults);
    if (!topRight) {
        const Rect bounds = fallback ? fallback->visibleFrame : kFallbackScreenBounds;
        return {{bounds.maxX() - size.width - kDefaultRightInset,
                 bounds.maxY() - size.height - kDefaultTopInset},
                size};
    }

    const ScreenLayout::Screen* screen = nullptr;
    if (const auto savedDisplay = defaults.number(kWindowDisplayIDKey)) {
        for (const auto& candidate : screens.screens) {
            if (candidate.displayID && static_cast<double>(*candidate.displayID) == *savedDisplay) {
                screen = &candidate;
                break;
            }
        }
    }
    if (!screen) {
        for (const auto& candidate : screens.screens) {
            if (candidate.visibleFrame.contains(*topRight)) {
                screen = &candidate;
                break;
            }
        }
    }
    if (!screen)
        screen = fallback;
    const Rect bounds = screen ? screen->visibleFrame : kFallbackScreenBounds;
    return constrained({{topRight->x - size.width, topRight->y - size.height}, size}, bounds);
}

Rect switchTargetFrame(const Rect& frame, Size target, const std::optional<Rect>& bounds) {
    const Rect kept{{frame.maxX() - target.width, frame.maxY() - target.height}, target};
    return constrained(kept, bounds.value_or(frame));
}

const ScreenLayout::Screen* screenOverlappingMost(const Rect& frame, const ScreenLayout& screens) {
    const ScreenLayout::Screen* best = nullptr;
    double bestArea = -1;
    for (const auto& screen : screens.screens) {
        const Rect& v = screen.visibleFrame;
        const double w = std::min(v.maxX(), frame.maxX()) - std::max(v.minX(), frame.minX());
        const double h = std::min(v.maxY(), frame.maxY()) - std::max(v.minY(), frame.minY());
        const double area = w > 0 && h > 0 ? w * h : 0;
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    return best;
}

std::optional<Rect> frameConstrainedToVisibleScreen(const Rect& frame, bool isExpanded,
                                                    const ScreenLayout::Screen* windowScreen,
                                                    const ScreenLayout& screens) {
    const ScreenLayout::Screen* screen = windowScreen;
    if (!screen) {
        screen =
            screens.screens.empty() ? screens.mainScreen() : screenOverlappingMost(frame, screens);
    }
    if (!screen)
        return std::nullopt;

    Rect resized = frame;
    if (isExpanded) {
        // The limits follow the window's own screen, else the main screen, even
        // when the frame is being moved onto another one.
        const ScreenLayout::Screen* limitScreen =
            windowScreen ? windowScreen : screens.mainScreen();
        const SizeLimits limits = expandedSizeLimits(
            limitScreen ? std::optional<Rect>(limitScreen->visibleFrame) : std::nullopt);
        const Size size = sizeWithinLimits(frame.size, limits);
        resized = {{frame.maxX() - size.width, frame.maxY() - size.height}, size};
    }
    return constrained(resized, screen->visibleFrame);
}

Rect searchBand(Size windowSize) {
    return {{kSearchBandInset, windowSize.height - kSearchBandBottom},
            {std::max(0.0, windowSize.width - 2 * kSearchBandInset),
             kSearchBandBottom - kSearchBandTop}};
}

}  // namespace corvanta
