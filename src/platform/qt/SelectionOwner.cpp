// The owner is asked on a private X connection: Qt's own connection hands its
// events to Qt's reader thread, and a reply must be waited for here.
#include "platform/qt/SelectionOwner.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <memory>

#include "platform/qt/XcbReply.h"

namespace corvanta::platform {
namespace {

// A connection and an unmapped window to receive the answer, made on first
// use and kept: pasting is frequent, and a connection costs a round trip.
struct Requestor {
    xcb_connection_t* c = nullptr;
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_atom_t clipboard = XCB_ATOM_NONE;
    xcb_atom_t targets = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;

    Requestor() {
        int screenNumber = 0;
        c = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c))
            return;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
        if (screens.rem == 0)
            return;
        window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        clipboard = xcb::internAtom(c, "CLIPBOARD");
        targets = xcb::internAtom(c, "TARGETS");
        property = xcb::internAtom(c, "CORVANTA_SELECTION_PROBE");
    }
    ~Requestor() { xcb_disconnect(c); }
    Requestor(const Requestor&) = delete;
    Requestor& operator=(const Requestor&) = delete;

    bool usable() const {
        return !xcb_connection_has_error(c) && window != XCB_WINDOW_NONE &&
               clipboard != XCB_ATOM_NONE && targets != XCB_ATOM_NONE && property != XCB_ATOM_NONE;
    }

    // Whether a SelectionNotify for our window came; events are drained.
    bool takeAnswer() {
        bool answered = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7F) == XCB_SELECTION_NOTIFY &&
                reinterpret_cast<xcb_selection_notify_event_t*>(event)->requestor == window)
                answered = true;
            std::free(event);
        }
        return answered;
    }

    bool ownerAnswers(xcb_atom_t selection, std::chrono::milliseconds budget) {
        auto owner = xcb::owned(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
        if (!owner || owner->owner == XCB_WINDOW_NONE)
            return true;
        takeAnswer();  // a late answer to an earlier request does not count
        xcb_convert_selection(c, window, selection, targets, property, XCB_CURRENT_TIME);
        xcb_flush(c);
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + budget;
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        for (;;) {
            if (takeAnswer()) {
                xcb_delete_property(c, window, property);
                xcb_flush(c);
                return true;
            }
            if (xcb_connection_has_error(c))
                return true;  // nothing more can be learnt; let the paste go on
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            ::poll(&fd, 1, static_cast<int>(left.count()) + 1);
        }
    }
};

}  // namespace

bool selectionOwnerAnswers(QClipboard::Mode mode, std::chrono::milliseconds budget) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        return true;
    if (mode != QClipboard::Clipboard && mode != QClipboard::Selection)
        return true;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (mode == QClipboard::Clipboard ? clipboard->ownsClipboard() : clipboard->ownsSelection())
        return true;
    static Requestor requestor;
    if (!requestor.usable())
        return true;
    return requestor.ownerAnswers(
        mode == QClipboard::Clipboard ? requestor.clipboard : xcb_atom_t(XCB_ATOM_PRIMARY), budget);
}

}  // namespace corvanta::platform
