// EWMH sticky state and compositor detection on Qt's xcb connection.
#include "platform/qt/X11Window.h"

#include "platform/qt/XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvanta::platform::x11 {
namespace {

using xcb::owned;

xcb_connection_t* qtConnection() {
    if (!isX11())
        return nullptr;
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return native ? native->connection() : nullptr;
}

// The EWMH atoms, interned once per process on Qt's connection.
xcb_ewmh_connection_t* ewmh() {
    static std::unique_ptr<xcb_ewmh_connection_t> instance;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (xcb_connection_t* c = qtConnection()) {
            auto candidate = std::make_unique<xcb_ewmh_connection_t>();
            xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(c, candidate.get());
            if (xcb_ewmh_init_atoms_replies(candidate.get(), cookies, nullptr))
                instance = std::move(candidate);
        }
    }
    return instance.get();
}

std::vector<xcb_atom_t> stateAtoms(xcb_ewmh_connection_t* e, xcb_window_t window) {
    std::vector<xcb_atom_t> atoms;
    auto r = owned(xcb_get_property_reply(
        e->connection,
        xcb_get_property(e->connection, 0, window, e->_NET_WM_STATE, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (r && r->format == 32 && r->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(r.get()));
        atoms.assign(data, data + xcb_get_property_value_length(r.get()) / 4);
    }
    return atoms;
}

}  // namespace

bool isX11() {
    return qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb");
}

bool compositorRunning() {
    xcb_connection_t* c = qtConnection();
    if (!c)
        return false;
    const xcb_atom_t atom = xcb::internAtom(c, "_NET_WM_CM_S0");
    if (atom == XCB_ATOM_NONE)
        return false;
    auto owner = owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void setSticky(QWidget* window, bool sticky) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || !window)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());

    // The properties count while the window is unmapped (Qt merges them into
    // its own state on mapping); the requests count once it is mapped.
    std::vector<xcb_atom_t> atoms = stateAtoms(e, id);
    std::erase(atoms, e->_NET_WM_STATE_STICKY);
    if (sticky)
        atoms.push_back(e->_NET_WM_STATE_STICKY);
    xcb_ewmh_set_wm_state(e, id, static_cast<uint32_t>(atoms.size()), atoms.data());
    if (sticky)
        xcb_ewmh_set_wm_desktop(e, id, 0xFFFFFFFFu);
    else
        xcb_delete_property(e->connection, id, e->_NET_WM_DESKTOP);

    xcb_ewmh_request_change_wm_state(
        e, 0, id, sticky ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE,
        e->_NET_WM_STATE_STICKY, XCB_NONE, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    if (sticky) {
        xcb_ewmh_request_change_wm_desktop(e, 0, id, 0xFFFFFFFFu,
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    } else {
        uint32_t current = 0;
        if (xcb_ewmh_get_current_desktop_reply(e, xcb_ewmh_get_current_desktop(e, 0), &current,
                                               nullptr))
            xcb_ewmh_request_change_wm_desktop(e, 0, id, current,
                                               XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    }
    xcb_flush(e->connection);
}

bool isSticky(QWidget* window) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || !window)
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const auto atoms = stateAtoms(e, id);
    uint32_t desktop = 0;
    const bool hasDesktop =
        xcb_ewmh_get_wm_desktop_reply(e, xcb_ewmh_get_wm_desktop(e, id), &desktop, nullptr);
    return std::find(atoms.begin(), atoms.end(), e->_NET_WM_STATE_STICKY) != atoms.end() &&
           hasDesktop && desktop == 0xFFFFFFFFu;
}

namespace {

constexpr uint32_t kAllDesktops = 0xFFFFFFFFu;

// The window's desktop and the current one; nothing without native window,
// window manager desktops or a desktop property on the window.
struct DesktopPair {
    uint32_t window = 0;
    uint32_t current = 0;
};
std::optional<DesktopPair> desktops(xcb_ewmh_connection_t* e, xcb_window_t id) {
    DesktopPair pair;
    const auto windowCookie = xcb_ewmh_get_wm_desktop(e, id);
    const auto currentCookie = xcb_ewmh_get_current_desktop(e, 0);
    const bool hasWindow = xcb_ewmh_get_wm_desktop_reply(e, windowCookie, &pair.window, nullptr);
    const bool hasCurrent =
        xcb_ewmh_get_current_desktop_reply(e, currentCookie, &pair.current, nullptr);
    if (!hasWindow || !hasCurrent)
        return std::nullopt;
    return pair;
}

}  // namespace

bool isOnCurrentDesktop(QWidget* window) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || !window || !window->internalWinId())
        return true;
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    const auto pair = desktops(e, id);
    return !pair || pair->window == kAllDesktops || pair->window == pair->current;
}

void moveToCurrentDesktop(QWidget* window) {
    xcb_ewmh_connection_t* e = ewmh();
    // A window never made native is mapped on the current desktop anyway.
    if (!e || !window || !window->internalWinId())
        return;
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    uint32_t current = 0;
    if (!xcb_ewmh_get_current_desktop_reply(e, xcb_ewmh_get_current_desktop(e, 0), &current,
                                            nullptr))
        return;
    uint32_t desktop = 0;
    if (xcb_ewmh_get_wm_desktop_reply(e, xcb_ewmh_get_wm_desktop(e, id), &desktop, nullptr) &&
        (desktop == kAllDesktops || desktop == current))
        return;
    // The window manager takes requests for mapped windows; an unmapped one
    // is placed by its property when it is mapped.
    xcb_ewmh_set_wm_desktop(e, id, current);
    xcb_ewmh_request_change_wm_desktop(e, 0, id, current, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    xcb_flush(e->connection);
}

}  // namespace corvanta::platform::x11
