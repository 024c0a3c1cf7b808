// Workspace on X11: its own xcb connection watches _NET_ACTIVE_WINDOW on the
// root window and reports the active window's WM_CLASS class name.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/qt/Workspace.h"

class QSocketNotifier;
struct xcb_connection_t;

namespace corvanta::platform {

class XcbWorkspace final : public QObject, public Workspace {
    Q_OBJECT
public:
    // Connects to `displayName` (nullptr: $DISPLAY). Unavailable when that fails.
    explicit XcbWorkspace(const char* displayName = nullptr);
    ~XcbWorkspace() override;

    bool isAvailable() const override { return connection_ != nullptr; }

    // Reads the current active window's class (also used by the event handler).
    std::optional<std::string> activeApplication();

private:
    void readEvents();

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t activeWindowAtom_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::optional<std::string> lastReported_;
};

}  // namespace corvanta::platform
