// The front-most application: a notification carrying its identifier whenever
// another application becomes active. On X11 the identifier is the active
// window's WM_CLASS class name; elsewhere nothing is ever reported.
#pragma once

#include <memory>
#include <string>

#include "platform/foundation/Signal.h"

namespace corvanta::platform {

class Workspace {
public:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    virtual ~Workspace() = default;

    // Whether activations can be observed at all on this platform.
    virtual bool isAvailable() const = 0;

    // The identifier of the application that just became active. Emitted when
    // the active application changes, not for every window switch within it.
    Signal<const std::string&> didActivateApplication;

    // Picks the backend by Qt's platform name: X11 ("xcb") or none.
    static std::unique_ptr<Workspace> create();
};

}  // namespace corvanta::platform
