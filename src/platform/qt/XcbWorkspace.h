// Workspace on X11: its own xcb connection watches _NET_ACTIVE_WINDOW on the
// root window and reports the active window's WM_CLASS class name.
#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/qt/Workspace.h"

class QSocketNotifier;
struct xcb_connection_t;

namespace corvanta::platform {

// The class name in a WM_CLASS value: the second of two NUL-terminated strings
// (instance name, class name); nothing when there is no non-empty second one.
std::optional<std::string> classNameFromWmClass(std::string_view value);

// How much of WM_CLASS is read: both names in full for any real client, yet
// a hostile one cannot make us copy megabytes on every window switch.
inline constexpr std::uint32_t kMaxWmClassBytes = 64 * 1024;

class XcbWorkspace final : public QObject, public Workspace {
    Q_OBJECT
public:
    // Connects to `displayName` (nullptr: $DISPLAY) once the event loop runs,
    // or at the first question asked. Unavailable when that fails.
    explicit XcbWorkspace(const char* displayName = nullptr);
    ~XcbWorkspace() override;

    bool isAvailable() const override;

    // Reads the current active window's class (also used by the event handler).
    std::optional<std::string> activeApplication();

private:
    void connectToDisplay();
    void readEvents();

    std::optional<std::string> displayName_;
    bool connectTried_ = false;
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t activeWindowAtom_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::optional<std::string> lastReported_;
};

}  // namespace corvanta::platform
