// Stands in for another application during end-to-end runs: maps an X window
// with a chosen WM_CLASS and names it the active window on the root (there is
// no window manager to do that), then stays until it is killed.
#include <xcb/xcb.h>

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <window class>\n", argv[0]);
        return 2;
    }
    const std::string windowClass = argv[1];
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {screen->white_pixel};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 40, 40, 320, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      values);

    // WM_CLASS is "instance\0class\0".
    std::string wmClass = "corvanta-e2e-probe";
    wmClass.push_back('\0');
    wmClass += windowClass;
    wmClass.push_back('\0');
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, wmClass.size(), wmClass.data());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, windowClass.size(), windowClass.data());
    xcb_map_window(connection, window);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root,
                        atom(connection, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1, &window);
    xcb_flush(connection);
    std::printf("0x%x\n", window);
    std::fflush(stdout);

    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    for (;;) pause();
}
