// Shared bookkeeping of panel windows: which notifications a frame change means.
#include "platform/qt/PanelWindow.h"

#include "platform/qt/MainQueue.h"
#include "platform/qt/Screens.h"

namespace corvanta::platform {

PanelWindow::PanelWindow(Screens& screens, MainQueue& queue) : screens_(screens), queue_(queue) {
    screensConnection_ = screens_.parametersChanged.connect([this] { checkScreen(); });
}

PanelWindow::~PanelWindow() = default;

std::optional<ScreenInfo> PanelWindow::screen() const {
    return screens_.screenForFrame(frame());
}

void PanelWindow::frameDidChange(const Rect& oldFrame, const Rect& newFrame) {
    if (oldFrame.origin != newFrame.origin)
        moved.emit();
    if (oldFrame.size != newFrame.size)
        resized.emit();
    checkScreen();
}

void PanelWindow::checkScreen() {
    const auto current = screen();
    const std::uint32_t display = current ? current->displayID : 0;
    const bool changed = screenKnown_ && display != lastDisplay_;
    lastDisplay_ = display;
    screenKnown_ = true;
    if (changed)
        screenChanged.emit();
}

}  // namespace corvanta::platform
