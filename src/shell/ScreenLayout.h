// A snapshot of the screens as the window arithmetic sees them: each screen's
// visible frame (y-up) and display number, in the system's order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/foundation/Geometry.h"

namespace corvanta {

struct ScreenLayout {
    struct Screen {
        platform::Rect visibleFrame;
        std::optional<std::uint32_t> displayID;
        bool operator==(const Screen&) const = default;
    };

    std::vector<Screen> screens;
    // Index into `screens` of the main screen, if there is one.
    std::optional<std::size_t> mainIndex;

    const Screen* mainScreen() const {
        return mainIndex && *mainIndex < screens.size() ? &screens[*mainIndex] : nullptr;
    }
    // The main screen, else the first screen, else none.
    const Screen* fallbackScreen() const {
        if (const Screen* main = mainScreen())
            return main;
        return screens.empty() ? nullptr : &screens.front();
    }
};

}  // namespace corvanta
