// The list of screens, the main screen and their change notification, as value
// snapshots in y-up coordinates. QtScreens reads Qt; FakeScreens is for tests.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/Signal.h"
#include "platform/qt/ScreenInfo.h"

namespace corvanta::platform {

class Screens {
public:
    Screens() = default;
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;
    virtual ~Screens() = default;

    // Primary screen first, then the others in the platform's order. Empty when
    // the platform reports no screen.
    virtual std::vector<ScreenInfo> screens() const = 0;
    // The screen of the active window, else the primary; none without screens.
    virtual std::optional<ScreenInfo> mainScreen() const = 0;

    // The screen a window with this y-up frame is on: the one whose frame
    // overlaps it most (the first of equals); none when it overlaps no screen.
    std::optional<ScreenInfo> screenForFrame(const Rect& frame) const;

    // Screens added, removed, rearranged or resized (also their visible frames).
    Signal<> parametersChanged;

    // The process's screens: installed with setShared(), else a QtScreens
    // created on first use (needs a QGuiApplication).
    static Screens& shared();
    static void setShared(Screens* screens);  // not owned; nullptr resets
};

}  // namespace corvanta::platform
