// The view layer's only channel to the panel window: three optional callbacks
// that the window controller fills once the window exists.
#pragma once

#include <functional>

namespace corvanta {

class WindowCommands final {
public:
    using Completion = std::function<void()>;

    // Expands or collapses the window; `completion` runs once the window
    // animation has finished. When absent, the caller runs the completion itself.
    std::function<void(bool expanded, Completion completion)> setExpanded;
    // Applies the pin state to the window (the store is written by the caller).
    std::function<void(bool pinned)> setPinned;
    // Hides the panel.
    std::function<void()> closeWindow;
};

}  // namespace corvanta
