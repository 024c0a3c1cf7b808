// Fixed sizes, durations and settings keys of the floating panel, in points
// (one point is one logical pixel) and seconds.
#pragma once

#include <string_view>

#include "platform/foundation/Geometry.h"

namespace corvanta {

// The collapsed bar is also the window's fixed minimum and maximum while collapsed.
inline constexpr platform::Size kCollapsedSize{230, 62};

// Fixed bounds of any remembered expanded size, independent of the screen.
inline constexpr double kExpandedMinWidth = 360;
inline constexpr double kExpandedMaxWidth = 640;
inline constexpr double kExpandedMinHeight = 520;
inline constexpr double kExpandedMaxHeight = 900;
inline constexpr platform::Size kDefaultExpandedSize{432, 716};

// Limits opened up while an animated switch runs, so the frame may pass any size.
inline constexpr platform::Size kTransitionMinSize{1, 1};
inline constexpr platform::Size kTransitionMaxSize{10000, 10000};

// First-launch placement: offsets from the visible frame's top-right corner.
inline constexpr double kDefaultRightInset = 22;
inline constexpr double kDefaultTopInset = 110;

// Used for placement when the system reports no screen at all.
inline constexpr platform::Rect kFallbackScreenBounds{{0, 0}, {1440, 900}};

inline constexpr double kExpandAnimationSeconds = 0.14;
inline constexpr double kCollapseAnimationSeconds = 0.22;

// The collapsed bar's right-most points hold its expand and close buttons,
// which must never start a window drag.
inline constexpr double kCollapsedButtonsWidth = 73;

// The expanded panel's search field, measured from the panel's top and sides.
inline constexpr double kSearchBandInset = 13;
inline constexpr double kSearchBandTop = 72;
inline constexpr double kSearchBandBottom = 108;

inline constexpr std::string_view kExpandedWindowSizeKey = "CorvantaExpandedWindowSize";
inline constexpr std::string_view kWindowTopRightKey = "CorvantaWindowTopRight";
inline constexpr std::string_view kWindowDisplayIDKey = "CorvantaWindowDisplayID";
// Older form of the position: read when no top-right point exists, never written.
inline constexpr std::string_view kLegacyWindowFrameKey = "CorvantaWindowFrame";

}  // namespace corvanta
