// Follows _NET_ACTIVE_WINDOW on the root window over a private xcb connection.
#include "platform/qt/XcbWorkspace.h"

#include "platform/qt/XcbReply.h"

#include <xcb/xcb.h>

#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>

namespace corvanta::platform {
namespace {

using xcb::internAtom;
using xcb::owned;
using xcb::Reply;

// Any type: some clients write WM_CLASS as UTF8_STRING, and _NET_ACTIVE_WINDOW
// is WINDOW for most window managers but CARDINAL for a few.
Reply<xcb_get_property_reply_t> readProperty(xcb_connection_t* c, xcb_window_t window,
                                             xcb_atom_t property, uint32_t longLength) {
    return owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longLength),
        nullptr));
}

}  // namespace

std::optional<std::string> classNameFromWmClass(std::string_view value) {
    const auto firstEnd = value.find('\0');
    if (firstEnd == std::string_view::npos)
        return std::nullopt;
    std::string_view className = value.substr(firstEnd + 1);
    if (const auto end = className.find('\0'); end != std::string_view::npos)
        className = className.substr(0, end);
    if (className.empty())
        return std::nullopt;
    return std::string(className);
}

XcbWorkspace::XcbWorkspace(const char* displayName) {
    if (displayName)
        displayName_ = displayName;
    // A connection of its own and the first look at the active window take
    // round trips to the X server; a panel shown meanwhile does not wait.
    QMetaObject::invokeMethod(
        this, [this] { connectToDisplay(); }, Qt::QueuedConnection);
}

void XcbWorkspace::connectToDisplay() {
    if (connectTried_)
        return;
    connectTried_ = true;
    int screenNumber = 0;
    xcb_connection_t* c =
        xcb_connect(displayName_ ? displayName_->c_str() : nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    root_ = it.data->root;
    activeWindowAtom_ = internAtom(c, "_NET_ACTIVE_WINDOW");
    // Event masks are per client, so this does not disturb Qt's own selection.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    lastReported_ = activeApplication();

    notifier_ =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readEvents(); });
}

bool XcbWorkspace::isAvailable() const {
    const_cast<XcbWorkspace*>(this)->connectToDisplay();
    return connection_ != nullptr;
}

XcbWorkspace::~XcbWorkspace() {
    notifier_.reset();
    if (connection_)
        xcb_disconnect(connection_);
}

std::optional<std::string> XcbWorkspace::activeApplication() {
    connectToDisplay();
    if (!connection_)
        return std::nullopt;
    auto active = readProperty(connection_, root_, activeWindowAtom_, 1);
    if (!active || active->format != 32 || xcb_get_property_value_length(active.get()) < 4)
        return std::nullopt;
    xcb_window_t window = 0;
    std::memcpy(&window, xcb_get_property_value(active.get()), sizeof window);
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    // The length is in 32-bit units. A long instance name must not hide the
    // class name behind it, so the whole value is read up to the cap.
    auto wmClass = readProperty(connection_, window, XCB_ATOM_WM_CLASS, kMaxWmClassBytes / 4);
    if (!wmClass || wmClass->format != 8)
        return std::nullopt;
    const auto* data = static_cast<const char*>(xcb_get_property_value(wmClass.get()));
    return classNameFromWmClass(std::string_view(
        data, static_cast<std::size_t>(xcb_get_property_value_length(wmClass.get()))));
}

void XcbWorkspace::readEvents() {
    // Reading a reply can pull further events off the socket without waking the
    // notifier again, so keep going until a pass finds nothing new.
    for (;;) {
        bool activeChanged = false;
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
            auto event = owned(raw);
            if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
                continue;
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window == root_ && notify->atom == activeWindowAtom_)
                activeChanged = true;
        }
        if (xcb_connection_has_error(connection_)) {
            // The display went away: stop listening, report nothing more.
            notifier_->setEnabled(false);
            return;
        }
        if (!activeChanged)
            return;
        const auto current = activeApplication();
        if (current && current != lastReported_) {
            lastReported_ = current;
            didActivateApplication.emit(*current);
        }
    }
}

}  // namespace corvanta::platform
