// Screens for tests: a settable list and main-screen index, and a way to
// announce a configuration change.
#pragma once

#include <optional>
#include <vector>

#include "platform/qt/Screens.h"

namespace corvanta::platform {

class FakeScreens final : public Screens {
public:
    FakeScreens() = default;
    explicit FakeScreens(std::vector<ScreenInfo> list) : list_(std::move(list)) {}

    std::vector<ScreenInfo> screens() const override { return list_; }
    // The chosen main screen, else the first, else none.
    std::optional<ScreenInfo> mainScreen() const override;

    // Replaces the list and emits parametersChanged.
    void setScreens(std::vector<ScreenInfo> list);
    // Index into the list; nullopt makes the first screen the main one.
    void setMainIndex(std::optional<std::size_t> index) { mainIndex_ = index; }

private:
    std::vector<ScreenInfo> list_;
    std::optional<std::size_t> mainIndex_;
};

}  // namespace corvanta::platform
