// What the shell is built on: the application's resources and settings, and the
// platform services. The application passes the real ones, tests pass fakes.
#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta::platform {
class EventMonitors;
class MainQueue;
class PanelWindow;
class Screens;
}  // namespace corvanta::platform

namespace corvanta {

class CatalogPreload;

struct ShellServices {
    platform::Bundle bundle;
    platform::UserDefaults& defaults;
    platform::Screens& screens;
    platform::MainQueue& queue;
    platform::EventMonitors& monitors;
    // Creates the (hidden) panel window at a y-up frame.
    std::function<std::unique_ptr<platform::PanelWindow>(const platform::Rect& frame)> makePanel;
    // The catalog read ahead of the panel, if the application started one.
    CatalogPreload* catalogPreload = nullptr;
};

}  // namespace corvanta
