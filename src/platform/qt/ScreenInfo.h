// A value snapshot of one screen in y-up coordinates (origin at the bottom-left
// of the primary screen), as the placement code reads it.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/foundation/Geometry.h"

namespace corvanta::platform {

struct ScreenInfo {
    Rect frame;
    // The frame without panels and docks: where windows may be placed.
    Rect visibleFrame;
    // Stable across runs and reconnections of the same monitor; never 0.
    std::uint32_t displayID = 0;

    bool operator==(const ScreenInfo&) const = default;
};

// 32-bit FNV-1a over the four texts (separated, so moving text between fields
// changes the hash); 0 is mapped to 1 so "no display" stays distinguishable.
std::uint32_t displayIDFor(std::string_view name, std::string_view manufacturer,
                           std::string_view model, std::string_view serialNumber);

// y-down (top-left origin, as Qt reports geometry) to y-up, given the primary
// screen's y-down geometry: y_up = primary.bottom − y_down − height, and x is
// measured from the primary's left edge.
Rect yUpFromYDown(const Rect& yDown, const Rect& primaryYDown);
// The inverse of yUpFromYDown.
Rect yDownFromYUp(const Rect& yUp, const Rect& primaryYDown);

}  // namespace corvanta::platform
