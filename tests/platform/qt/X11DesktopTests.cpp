// Virtual desktops on a real X server (the *X11* ctest entry on a private Xvfb):
// the desktop properties a window manager keeps, written by the test itself.
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QWidget>
#include <memory>

#include "platform/qt/X11Window.h"

namespace corvanta::platform {
namespace {

TEST(DesktopsTest, X11APanelOnAnotherDesktopIsBroughtToTheCurrentOne) {
    if (!x11::isX11())
        GTEST_SKIP() << "needs an X server";
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(native, nullptr);
    xcb_connection_t* connection = native->connection();
    auto ewmh = std::make_unique<xcb_ewmh_connection_t>();
    ASSERT_TRUE(xcb_ewmh_init_atoms_replies(ewmh.get(), xcb_ewmh_init_atoms(connection, ewmh.get()),
                                            nullptr));
    const auto desktopOf = [&](xcb_window_t window) {
        uint32_t desktop = 0;
        EXPECT_TRUE(xcb_ewmh_get_wm_desktop_reply(
            ewmh.get(), xcb_ewmh_get_wm_desktop(ewmh.get(), window), &desktop, nullptr));
        return desktop;
    };

    QWidget panel;
    // A window never made native shows wherever the user is.
    EXPECT_TRUE(x11::isOnCurrentDesktop(&panel));
    const auto id = static_cast<xcb_window_t>(panel.winId());
    // No desktops at all (no window manager says so): one desktop.
    EXPECT_TRUE(x11::isOnCurrentDesktop(&panel));

    xcb_ewmh_set_current_desktop(ewmh.get(), 0, 2);
    xcb_ewmh_set_wm_desktop(ewmh.get(), id, 0);
    xcb_flush(connection);
    EXPECT_FALSE(x11::isOnCurrentDesktop(&panel));
    x11::moveToCurrentDesktop(&panel);
    EXPECT_EQ(desktopOf(id), 2u);
    EXPECT_TRUE(x11::isOnCurrentDesktop(&panel));

    // On all desktops: already here, and left there.
    xcb_ewmh_set_wm_desktop(ewmh.get(), id, 0xFFFFFFFFu);
    xcb_ewmh_set_current_desktop(ewmh.get(), 0, 1);
    xcb_flush(connection);
    EXPECT_TRUE(x11::isOnCurrentDesktop(&panel));
    x11::moveToCurrentDesktop(&panel);
    EXPECT_EQ(desktopOf(id), 0xFFFFFFFFu);

    xcb_delete_property(connection, native ? ewmh->screens[0]->root : 0,
                        ewmh->_NET_CURRENT_DESKTOP);
    xcb_ewmh_connection_wipe(ewmh.get());
}

}  // namespace
}  // namespace corvanta::platform
