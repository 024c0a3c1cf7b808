// The X11 workspace: another client makes a window active and we report its
// window class. Needs an X server ($DISPLAY); skipped without one.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QTest>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/FakeWorkspace.h"
#include "platform/qt/XcbWorkspace.h"

namespace corvanta::platform {
namespace {

// Plays the window manager and the other applications on a separate connection.
class OtherClient {
public:
    OtherClient() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return;
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        activeAtom_ = atom("_NET_ACTIVE_WINDOW");
    }
    ~OtherClient() {
        if (connection_)
            xcb_disconnect(connection_);
    }
    bool ok() const { return screen_ != nullptr; }

    xcb_window_t window(const std::string& instance, const std::string& windowClass) {
        const xcb_window_t id = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id, screen_->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        std::string value = instance + '\0' + windowClass + '\0';
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, static_cast<uint32_t>(value.size()), value.data());
        xcb_flush(connection_);
        return id;
    }
    void activate(xcb_window_t window) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, screen_->root, activeAtom_,
                            XCB_ATOM_WINDOW, 32, 1, &window);
        xcb_flush(connection_);
    }

private:
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : 0;
        std::free(reply);
        return result;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_atom_t activeAtom_ = 0;
};

TEST(Workspace, X11ActiveWindowChangesReportTheApplicationOnce) {
    // It rewrites the root window's active-window property: only on the
    // private server of the X11 test run, never on a desktop session.
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        GTEST_SKIP() << "runs on an X display only";
    OtherClient other;
    if (!other.ok())
        GTEST_SKIP() << "no X display";
    XcbWorkspace workspace;
    // It connects in the event loop, unasked.
    QCoreApplication::processEvents();
    std::vector<std::string> reported;
    auto connection = workspace.didActivateApplication.connect(
        [&](const std::string& id) { reported.push_back(id); });

    const auto editor = other.window("editor", "ProbeEditor");
    const auto editorSecond = other.window("editor", "ProbeEditor");
    const auto browser = other.window("browser", "ProbeBrowser");
    const auto nameless = other.window("", "");

    other.activate(editor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() == 1; }, 3000));
    EXPECT_EQ(reported[0], "ProbeEditor");
    EXPECT_TRUE(workspace.isAvailable());
    EXPECT_EQ(workspace.activeApplication(), "ProbeEditor");

    other.activate(editorSecond);  // same application, another window: no report
    other.activate(nameless);      // no class: nothing to report
    other.activate(browser);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() == 2; }, 3000));
    EXPECT_EQ(reported[1], "ProbeBrowser");

    // A long instance name does not hide the class name behind it.
    other.activate(other.window(std::string(2000, 'i'), "ProbeLongInstance"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() == 3; }, 3000));
    EXPECT_EQ(reported[2], "ProbeLongInstance");
    QTest::qWait(50);
    EXPECT_EQ(reported.size(), 3u);
}

TEST(Workspace, WmClassValuesGiveTheirClassName) {
    using namespace std::string_literals;
    EXPECT_EQ(classNameFromWmClass("editor\0ProbeEditor\0"s), "ProbeEditor");
    // Some clients leave out the final NUL; anything after it is ignored.
    EXPECT_EQ(classNameFromWmClass("editor\0ProbeEditor"s), "ProbeEditor");
    EXPECT_EQ(classNameFromWmClass("editor\0ProbeEditor\0more\0"s), "ProbeEditor");
    EXPECT_EQ(classNameFromWmClass(std::string(2000, 'i') + "\0Long\0"s), "Long");
    for (const std::string& noClass : {""s, "editor"s, "editor\0"s, "editor\0\0"s})
        EXPECT_FALSE(classNameFromWmClass(noClass)) << noClass.size();
}

TEST(Workspace, UnreachableDisplayMeansUnavailableAndSilent) {
    XcbWorkspace workspace(":4711");
    EXPECT_FALSE(workspace.isAvailable());
    EXPECT_FALSE(workspace.activeApplication().has_value());
    FakeWorkspace fake;
    std::string got;
    auto c = fake.didActivateApplication.connect([&](const std::string& id) { got = id; });
    fake.activate("org.example.App");
    EXPECT_EQ(got, "org.example.App");
}

}  // namespace
}  // namespace corvanta::platform
