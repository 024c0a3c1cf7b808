// The workspace backend for the platform Qt runs on.
#include "platform/qt/Workspace.h"

#include "platform/qt/FakeWorkspace.h"
#include "platform/qt/X11Window.h"
#include "platform/qt/XcbWorkspace.h"

namespace corvanta::platform {

std::unique_ptr<Workspace> Workspace::create() {
    if (x11::isX11())
        return std::make_unique<XcbWorkspace>();
    // Elsewhere (Wayland, offscreen) activations cannot be observed.
    auto none = std::make_unique<FakeWorkspace>();
    none->setAvailable(false);
    return none;
}

}  // namespace corvanta::platform
