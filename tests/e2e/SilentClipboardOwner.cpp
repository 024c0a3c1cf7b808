// Stands in for an application that holds the clipboard and has hung: it takes
// the CLIPBOARD and PRIMARY selections and never answers a request for them.
// Prints "ready" once it owns both, then stays until it is killed.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

bool owns(xcb_connection_t* connection, xcb_atom_t selection, xcb_window_t window) {
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool result = reply && reply->owner == window;
    std::free(reply);
    return result;
}

}  // namespace

int main() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selections[] = {atom(connection, "CLIPBOARD"), XCB_ATOM_PRIMARY};
    for (const xcb_atom_t selection : selections)
        xcb_set_selection_owner(connection, window, selection, XCB_CURRENT_TIME);
    for (const xcb_atom_t selection : selections) {
        if (!owns(connection, selection, window)) {
            std::fprintf(stderr, "could not take the selections\n");
            return 1;
        }
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Requests arrive as events; reading and dropping them is the hang.
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) std::free(event);
    return 0;
}
