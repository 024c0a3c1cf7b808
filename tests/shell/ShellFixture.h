// A window controller on fake platform services: a laptop screen, a manual main
// queue, hand-sent events and settings in memory.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TestBundle.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/qt/FakeEventMonitors.h"
#include "platform/qt/FakePanelWindow.h"
#include "platform/qt/FakeScreens.h"
#include "platform/qt/ManualMainQueue.h"
#include "shell/ShellServices.h"

namespace corvanta::testing_support {

// Visible frame (0, 25, 1440, 875) below a 25-point menu bar.
inline platform::ScreenInfo laptopScreen() {
    return {platform::makeRect(0, 0, 1440, 900), platform::makeRect(0, 25, 1440, 875), 101};
}
inline platform::ScreenInfo externalScreen() {
    return {platform::makeRect(1440, 0, 1920, 1080), platform::makeRect(1440, 0, 1920, 1080), 202};
}

class ShellFixture : public ::testing::Test {
protected:
    ShellFixture() { platform::MainQueue::setShared(&queue); }
    ~ShellFixture() override { platform::MainQueue::setShared(nullptr); }

    ShellServices& services() {
        if (!services_) {
            services_ = std::make_unique<ShellServices>(ShellServices{
                bundle.bundle(), defaults, screens, queue, monitors,
                [this](const platform::Rect& frame) -> std::unique_ptr<platform::PanelWindow> {
                    auto window =
                        std::make_unique<platform::FakePanelWindow>(frame, screens, queue);
                    panel = window.get();
                    return window;
                }});
        }
        return *services_;
    }

    platform::Event keyDown(int keyCode, QWidget* window) const {
        platform::Event event;
        event.type = platform::EventType::keyDown;
        event.keyCode = keyCode;
        event.window = window;
        return event;
    }
    platform::Event click(platform::Point location, QWidget* window) const {
        platform::Event event;
        event.type = platform::EventType::leftMouseDown;
        event.window = window;
        event.locationInWindow = location;
        return event;
    }

    TestBundle bundle;
    platform::MemoryUserDefaults defaults;
    platform::FakeScreens screens{{laptopScreen()}};
    platform::ManualMainQueue queue;
    platform::FakeEventMonitors monitors;
    platform::FakePanelWindow* panel = nullptr;

private:
    std::unique_ptr<ShellServices> services_;
};

}  // namespace corvanta::testing_support
