// X11 details of our top-level windows (sticky state, compositor presence),
// through Qt's own xcb connection. Every function is a harmless no-op or
// "false" when the application does not run on X11.
#pragma once

class QWidget;

namespace corvanta::platform::x11 {

// Whether Qt runs on the xcb platform.
bool isX11();
// Whether a compositing manager owns _NET_WM_CM_S<n> for the default screen.
bool compositorRunning();
// Shown on all desktops or not: the window's _NET_WM_STATE_STICKY and
// _NET_WM_DESKTOP (0xFFFFFFFF), set on the window and requested from the
// window manager. Creates the native window if needed.
void setSticky(QWidget* window, bool sticky);
// Whether the window's properties say it is sticky (for tests).
bool isSticky(QWidget* window);

// Virtual desktops (EWMH). A window shows on the current desktop when it is
// there, on all desktops, or when there are no desktops (or no X11) at all.
bool isOnCurrentDesktop(QWidget* window);
// Brings a window that sits on another desktop to the current one: a
// _NET_WM_DESKTOP request to the window manager, and the property itself for a
// window that is not mapped. Windows on all desktops stay there.
void moveToCurrentDesktop(QWidget* window);

}  // namespace corvanta::platform::x11
