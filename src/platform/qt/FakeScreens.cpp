// Test screens.
#include "platform/qt/FakeScreens.h"

namespace corvanta::platform {

std::optional<ScreenInfo> FakeScreens::mainScreen() const {
    if (mainIndex_ && *mainIndex_ < list_.size())
        return list_[*mainIndex_];
    if (list_.empty())
        return std::nullopt;
    return list_.front();
}

void FakeScreens::setScreens(std::vector<ScreenInfo> list) {
    list_ = std::move(list);
    parametersChanged.emit();
}

}  // namespace corvanta::platform
