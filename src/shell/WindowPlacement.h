// The panel's window arithmetic without a window: size limits, the remembered
// expanded size and position, the starting frame, the expand/collapse target
// and the clamping of frames into a screen's visible frame. All frames are y-up.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/UserDefaults.h"
#include "shell/ScreenLayout.h"

namespace corvanta {

struct SizeLimits {
    platform::Size minimum;
    platform::Size maximum;
    bool operator==(const SizeLimits&) const = default;
};

// Clamps to the fixed expanded bounds (360…640 × 520…900), whatever the screen.
platform::Size clampedExpandedSize(platform::Size size);

// Limits for the expanded window on a screen with this visible frame; without a
// screen the fixed bounds. On a small screen the minimum drops with the maximum.
SizeLimits expandedSizeLimits(const std::optional<platform::Rect>& visibleFrame);

// The size inside `limits` nearest to `size`; the maximum wins over the minimum.
platform::Size sizeWithinLimits(platform::Size size, const SizeLimits& limits);

// The remembered expanded size, or the default when absent or unusable.
platform::Size savedExpandedSize(const platform::UserDefaults& defaults);

// Clamps `size`, stores it and returns what was stored.
platform::Size recordExpandedSize(platform::UserDefaults& defaults, platform::Size size);

// The remembered top-right corner: the current key, else the top-right corner
// of the older saved frame when that frame is not empty.
std::optional<platform::Point> savedTopRight(const platform::UserDefaults& defaults);

// Stores the frame's top-right corner, and the display number when known (an
// unknown display leaves the stored number as it was).
void saveWindowPosition(platform::UserDefaults& defaults, const platform::Rect& frame,
                        std::optional<std::uint32_t> displayID);

// Moves `rect` into `bounds` without changing its size. Too wide: left edges
// meet; too tall: bottom edges meet.
platform::Rect constrained(const platform::Rect& rect, const platform::Rect& bounds);

// Where a window of `size` starts: at the remembered top-right corner on the
// remembered screen when there is one, else near the main screen's top-right.
platform::Rect initialFrame(platform::Size size, const ScreenLayout& screens,
                            const platform::UserDefaults& defaults);

// The frame an animated switch ends at: `target` size with the top-right corner
// of `frame` kept, moved into `bounds` (or into `frame` itself without bounds).
platform::Rect switchTargetFrame(const platform::Rect& frame, platform::Size target,
                                 const std::optional<platform::Rect>& bounds);

// The screen a window without a screen of its own belongs to: the one whose
// visible frame overlaps `frame` most; the first wins ties (so with no overlap
// at all the first screen).
const ScreenLayout::Screen* screenOverlappingMost(const platform::Rect& frame,
                                                  const ScreenLayout& screens);

// The frame that keeps the window fully inside a visible frame after screens
// change. `windowScreen` is the screen the window is on, if any. For an
// expanded window the size is also re-limited, keeping the top-right corner.
// Nothing when there is no screen to move to.
std::optional<platform::Rect> frameConstrainedToVisibleScreen(
    const platform::Rect& frame, bool isExpanded, const ScreenLayout::Screen* windowScreen,
    const ScreenLayout& screens);

// The expanded panel's search field, in y-up window coordinates: clicks inside
// it keep the search focus.
platform::Rect searchBand(platform::Size windowSize);

}  // namespace corvanta
