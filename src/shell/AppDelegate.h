// The application's delegate: the status item, following the front-most
// application, and showing, hiding and reopening the panel.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/Signal.h"
#include "shell/ShellServices.h"

class QWidget;

namespace corvanta {

class FloatingWindowController;

namespace platform {
class StatusItem;
class Workspace;
}  // namespace platform

class AppDelegate final {
public:
    using StatusItemFactory = std::function<std::unique_ptr<platform::StatusItem>()>;

    // Which virtual desktop the panel is on. The real one asks the window
    // manager (and knows of one desktop off X11); tests put in their own.
    struct Desktops {
        std::function<bool(QWidget*)> isOnCurrentDesktop;
        std::function<void(QWidget*)> moveToCurrentDesktop;
    };

    AppDelegate(ShellServices& services, platform::Workspace& workspace,
                StatusItemFactory makeStatusItem);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // Start-up: status item, then the front-most-application observer, then the panel.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // Hiding or closing the panel never quits.
    bool applicationShouldTerminateAfterLastWindowClosed() const { return false; }
    // Another launch or the desktop asked for the application: show the panel.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // The status item's action: hides the panel the user sees, else reopens it.
    void toggleFloatingWindow();
    void workspaceApplicationDidActivate(const std::string& bundleIdentifier);

    FloatingWindowController* floatingWindowController() const { return controller_.get(); }
    platform::StatusItem* statusItem() const { return statusItem_.get(); }

    void setDesktops(Desktops desktops) { desktops_ = std::move(desktops); }

private:
    void installStatusItem();
    void showFloatingWindow();

    ShellServices& services_;
    platform::Workspace& workspace_;
    StatusItemFactory makeStatusItem_;
    Desktops desktops_;
    std::unique_ptr<FloatingWindowController> controller_;
    std::unique_ptr<platform::StatusItem> statusItem_;
    platform::Connection activationObserver_;
};

}  // namespace corvanta
