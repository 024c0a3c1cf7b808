// EWMH sticky state and compositor detection on Qt's xcb connection.
#include "platform/qt/X11Window.h"

#include "platform/qt/XcbReply.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
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

// The window's current X window, made if needed. QWidget::winId() can name
// a window Qt has since replaced: Qt makes the native window anew when it
// shows it after a stays-on-top change, and the widget keeps the old id.
xcb_window_t nativeWindow(QWidget* window) {
    const WId created = window->winId();
    const QWindow* handle = window->windowHandle();
    return static_cast<xcb_window_t>(handle ? handle->winId() : created);
}

struct EwmhRelease {
    void operator()(xcb_ewmh_connection_t* e) const {
        xcb_ewmh_connection_wipe(e);
        delete e;
    }
};

// The EWMH atoms, interned once per process on Qt's connection. Releasing
// them only frees their tables; the connection is Qt's and stays alone.
xcb_ewmh_connection_t* ewmh() {
    static std::unique_ptr<xcb_ewmh_connection_t, EwmhRelease> instance;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (xcb_connection_t* c = qtConnection()) {
            auto candidate = std::make_unique<xcb_ewmh_connection_t>();
            xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(c, candidate.get());
            if (xcb_ewmh_init_atoms_replies(candidate.get(), cookies, nullptr))
                instance.reset(candidate.release());
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
    // The EWMH atoms are wanted for the panel's state anyway; interned with
    // them, the compositor's selection costs no round trip of its own.
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || e->nb_screens < 1)
        return false;
    xcb_window_t owner = XCB_NONE;
    return xcb_ewmh_get_wm_cm_owner_reply(e, xcb_ewmh_get_wm_cm_owner(e, 0), &owner, nullptr) &&
           owner != XCB_NONE;
}

void setSticky(QWidget* window, bool sticky) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || !window)
        return;
    const auto id = nativeWindow(window);

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
    const auto id = nativeWindow(window);
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

// --- Shape and window-manager hints ---------------------------------------

namespace {

bool hasShapeExtension(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    return shape && shape->present;
}

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr uint32_t kMwmHintsFunctions = 1u << 0;
constexpr uint32_t kMwmFuncAll = 1u << 0;
constexpr uint32_t kMwmFuncResize = 1u << 1;
constexpr uint32_t kMwmFuncMove = 1u << 2;
constexpr uint32_t kMwmFuncMinimize = 1u << 3;
constexpr uint32_t kMwmFuncMaximize = 1u << 4;
constexpr uint32_t kMwmFuncClose = 1u << 5;
constexpr std::size_t kMwmHintsLength = 5;

struct MotifHints {
    uint32_t values[kMwmHintsLength] = {};
};

// Asked once: the server keeps an atom as long as it runs, and Qt's
// connection lasts as long as the process.
xcb_atom_t motifHintsAtom(xcb_connection_t* c) {
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom == XCB_ATOM_NONE)
        atom = xcb::internAtom(c, "_MOTIF_WM_HINTS");
    return atom;
}

std::optional<MotifHints> readMotifHints(xcb_connection_t* c, xcb_window_t window,
                                         xcb_atom_t atom) {
    auto r = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom, atom, 0, kMwmHintsLength), nullptr));
    if (!r || r->format != 32 || r->type != atom)
        return std::nullopt;
    MotifHints hints;
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    const auto count = std::min<std::size_t>(
        kMwmHintsLength, static_cast<std::size_t>(xcb_get_property_value_length(r.get())) / 4);
    std::copy(data, data + count, hints.values);
    return hints;
}

}  // namespace

bool isOnCurrentDesktop(QWidget* window) {
    xcb_ewmh_connection_t* e = ewmh();
    if (!e || !window || !window->internalWinId())
        return true;
    const auto id = nativeWindow(window);
    const auto pair = desktops(e, id);
    return !pair || pair->window == kAllDesktops || pair->window == pair->current;
}

void moveToCurrentDesktop(QWidget* window) {
    xcb_ewmh_connection_t* e = ewmh();
    // A window never made native is mapped on the current desktop anyway.
    if (!e || !window || !window->internalWinId())
        return;
    const auto id = nativeWindow(window);
    // Both asked at once: one round trip.
    const auto currentCookie = xcb_ewmh_get_current_desktop(e, 0);
    const auto windowCookie = xcb_ewmh_get_wm_desktop(e, id);
    uint32_t current = 0;
    uint32_t desktop = 0;
    const bool hasCurrent = xcb_ewmh_get_current_desktop_reply(e, currentCookie, &current, nullptr);
    const bool hasDesktop = xcb_ewmh_get_wm_desktop_reply(e, windowCookie, &desktop, nullptr);
    if (!hasCurrent || (hasDesktop && (desktop == kAllDesktops || desktop == current)))
        return;
    // The window manager takes requests for mapped windows; an unmapped one
    // is placed by its property when it is mapped.
    xcb_ewmh_set_wm_desktop(e, id, current);
    xcb_ewmh_request_change_wm_desktop(e, 0, id, current, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    xcb_flush(e->connection);
}

void setBoundingShape(QWidget* window, const QRegion& devicePixels) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window || !hasShapeExtension(c))
        return;
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& r : devicePixels) {
        rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                         static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    }
    // QRegion hands its rectangles out in y-x banded order.
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_YX_BANDED,
                         nativeWindow(window), 0, 0, static_cast<uint32_t>(rects.size()),
                         rects.data());
    xcb_flush(c);
}

void clearBoundingShape(QWidget* window) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window || !hasShapeExtension(c))
        return;
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, nativeWindow(window), 0, 0,
                   XCB_NONE);
    xcb_flush(c);
}

void setBackgroundImage(QWidget* window, const QImage& devicePixels) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window || devicePixels.isNull() ||
        xcb_get_setup(c)->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return;
    }
    const xcb_window_t id = nativeWindow(window);
    const auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!geometry || (geometry->depth != 24 && geometry->depth != 32))
        return;
    // Both depths take 32-bit pixels, 0xAARRGGBB and 0x00RRGGBB.
    const QImage image = devicePixels.convertToFormat(
        geometry->depth == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const auto width = static_cast<uint16_t>(image.width());
    const auto height = static_cast<uint16_t>(image.height());
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, geometry->depth, pixmap, id, width, height);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // In bands that each fit one request.
    const std::size_t rowBytes = std::size_t(image.bytesPerLine());
    const std::size_t maxBytes = std::size_t(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int bandRows = std::max(1, int(maxBytes / rowBytes));
    for (int y = 0; y < height; y += bandRows) {
        const int rows = std::min(bandRows, height - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, uint16_t(rows), 0,
                      int16_t(y), 0, geometry->depth, uint32_t(rowBytes * std::size_t(rows)),
                      image.constScanLine(y));
    }
    xcb_free_gc(c, gc);
    // The window keeps the pixmap as long as it uses it.
    xcb_change_window_attributes(c, id, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_free_pixmap(c, pixmap);
    xcb_flush(c);
}

void clearBackground(QWidget* window) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window)
        return;
    const uint32_t none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(c, nativeWindow(window), XCB_CW_BACK_PIXMAP, &none);
    xcb_flush(c);
}

void flush() {
    if (xcb_connection_t* c = qtConnection())
        xcb_flush(c);
}

QRegion boundingShape(QWidget* window) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window || !hasShapeExtension(c))
        return {};
    auto r = owned(xcb_shape_get_rectangles_reply(
        c, xcb_shape_get_rectangles(c, nativeWindow(window), XCB_SHAPE_SK_BOUNDING), nullptr));
    QRegion region;
    if (!r)
        return region;
    const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r.get());
    const int count = xcb_shape_get_rectangles_rectangles_length(r.get());
    for (int i = 0; i < count; ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    return region;
}

void setMoveAllowed(QWidget* window, bool allowed) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window)
        return;
    const xcb_atom_t atom = motifHintsAtom(c);
    if (atom == XCB_ATOM_NONE)
        return;
    const auto id = nativeWindow(window);
    // Keep what Qt wrote (the frameless window's decorations); change only
    // the functions.
    MotifHints hints = readMotifHints(c, id, atom).value_or(MotifHints{});
    uint32_t& flags = hints.values[0];
    uint32_t& functions = hints.values[1];
    if (allowed) {
        flags &= ~kMwmHintsFunctions;
        functions = kMwmFuncAll;
    } else {
        // Listed functions are the allowed ones: everything but moving.
        flags |= kMwmHintsFunctions;
        functions = kMwmFuncResize | kMwmFuncMinimize | kMwmFuncMaximize | kMwmFuncClose;
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, kMwmHintsLength,
                        hints.values);
    xcb_flush(c);
}

bool moveAllowed(QWidget* window) {
    xcb_connection_t* c = qtConnection();
    if (!c || !window)
        return true;
    const xcb_atom_t atom = motifHintsAtom(c);
    const auto hints = readMotifHints(c, nativeWindow(window), atom);
    if (!hints || !(hints->values[0] & kMwmHintsFunctions))
        return true;
    const uint32_t functions = hints->values[1];
    // With the "all" bit the list names the functions taken away.
    const bool listed = (functions & kMwmFuncMove) != 0;
    return (functions & kMwmFuncAll) ? !listed : listed;
}

SizeHints normalSizeHints(QWidget* window) {
    SizeHints result;
    xcb_connection_t* c = qtConnection();
    if (!c || !window)
        return result;
    xcb_size_hints_t hints{};
    if (!xcb_icccm_get_wm_normal_hints_reply(
            c, xcb_icccm_get_wm_normal_hints(c, nativeWindow(window)), &hints, nullptr))
        return result;
    if (hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE)
        result.minimum = QSize(hints.min_width, hints.min_height);
    if (hints.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE)
        result.maximum = QSize(hints.max_width, hints.max_height);
    return result;
}

}  // namespace corvanta::platform::x11
