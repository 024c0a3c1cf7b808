// X11 details of our top-level windows (sticky state, compositor presence),
// through Qt's own xcb connection. Every function is a harmless no-op or
// "false" when the application does not run on X11.
#pragma once

#include <QRegion>
#include <QSize>
#include <optional>

class QImage;
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

// The window's bounding shape in device pixels (what is drawn and what takes
// the mouse); clearing gives the whole rectangle back. Both create the native
// window if needed.
void setBoundingShape(QWidget* window, const QRegion& devicePixels);
void clearBoundingShape(QWidget* window);
// The shape as the X server has it, in device pixels (for tests).
QRegion boundingShape(QWidget* window);

// Whether the window manager may move the window (user moves such as
// Alt+drag, and move requests): the move function of _MOTIF_WM_HINTS, kept
// beside the decoration hints Qt writes there. Qt rewrites the property when
// the window flags change, so call it again after that.
void setMoveAllowed(QWidget* window, bool allowed);
// What the window's _MOTIF_WM_HINTS say about moving (for tests).
bool moveAllowed(QWidget* window);

// What the X server fills the window with where it has not been drawn yet,
// such as the whole window the moment it is mapped: an image of the window's
// size in device pixels, or (cleared) nothing, the server's default. Both
// create the native window if needed.
void setBackgroundImage(QWidget* window, const QImage& devicePixels);
void clearBackground(QWidget* window);
// Sends what Qt has queued for the server (a map, say) now rather than when
// the event loop next runs.
void flush();

// The minimum and maximum size of WM_NORMAL_HINTS in device pixels, when the
// window has them (for tests).
struct SizeHints {
    std::optional<QSize> minimum;
    std::optional<QSize> maximum;
};
SizeHints normalSizeHints(QWidget* window);

}  // namespace corvanta::platform::x11
