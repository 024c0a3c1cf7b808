// An X client that works other programs' windows from outside, as a user
// would: it finds a program's window by its process, gives it the keyboard
// focus, types into it through XTEST and watches its drawing through DAMAGE.
#pragma once

#include <xcb/xcb.h>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace corvanta::bench {

using Clock = std::chrono::steady_clock;

// X key symbols the benchmarks type.
inline constexpr std::uint32_t kKeyBackSpace = 0xff08;
inline constexpr std::uint32_t kKeyControlLeft = 0xffe3;
inline constexpr std::uint32_t kKeyEscape = 0xff1b;

class XDriver {
public:
    // Throws std::runtime_error without a display or without XTEST or DAMAGE.
    XDriver();
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    // The screen's root window: watching it reports drawing anywhere on screen.
    xcb_window_t root() const { return root_; }
    // The screen's pixel at a point, 0xRRGGBB.
    std::uint32_t pixelAt(int x, int y);

    // A viewable top-level window and where it lies on the screen.
    struct Window {
        xcb_window_t id = XCB_NONE;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    // The viewable top-level windows of a process.
    std::vector<Window> windowsOf(pid_t pid);
    // The largest viewable top-level window of a process, or XCB_NONE.
    xcb_window_t windowOf(pid_t pid);
    // The window's width, or nothing once it is gone.
    std::optional<int> widthOf(xcb_window_t window);

    // Moves the keyboard focus to a window, unless it is already there.
    void focus(xcb_window_t window);
    // The program moved the focus itself (a popup takes it): the next
    // focus() sets it whatever it was set to before.
    void focusMoved() { focused_ = XCB_NONE; }
    // Presses and releases the key of a symbol (Latin letters, digits and the
    // constants above), with Control held when asked. Throws when the
    // keyboard has no key for the symbol.
    void type(std::uint32_t keysym, bool withControl = false);
    // The two halves of typing a key, for timing what the press alone draws:
    // a person's release comes tens of milliseconds after the press.
    void press(std::uint32_t keysym);
    void release(std::uint32_t keysym);
    // Moves the pointer to a point of the screen and clicks the first button
    // there.
    void click(int x, int y);

    // Reports drawing into a window from now on, until forget().
    void watch(xcb_window_t window);
    void forget(xcb_window_t window);

    // How many drawing reports have come in for the window (one per
    // rectangle drawn) since it was watched.
    long reportsFor(xcb_window_t window) const {
        const auto found = reports_.find(window);
        return found == reports_.end() ? 0 : found->second;
    }
    // Drops every report that has come in so far.
    void discardDamage();
    // When the next drawing into the window was reported, or nothing at the
    // deadline. The time is taken as the report is read.
    std::optional<Clock::time_point> nextDamage(xcb_window_t window, Clock::time_point deadline);
    // As nextDamage(), dropping the window's other reports already read with
    // it: what was drawn by then is all on screen for the next look at it.
    std::optional<Clock::time_point> nextDamageBatch(xcb_window_t window,
                                                     Clock::time_point deadline);
    // Waits until the window has not been drawn into for `quiet`; false if
    // that did not happen before the deadline. `lastDrawn`, when given, gets
    // when the last drawing before the quiet was reported (or is left alone
    // if there was none).
    bool waitQuiet(xcb_window_t window, Clock::duration quiet, Clock::time_point deadline,
                   Clock::time_point* lastDrawn = nullptr);

private:
    struct Damage {
        xcb_window_t window;
        Clock::time_point when;
    };

    // Reads what has arrived, waiting for it until the deadline; false if
    // nothing came.
    bool receive(Clock::time_point deadline);
    xcb_keycode_t keycodeOf(std::uint32_t keysym) const;
    std::uint32_t atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::uint8_t damageEventBase_ = 0;
    xcb_keycode_t firstKeycode_ = 0;
    std::uint8_t symbolsPerKeycode_ = 0;
    std::map<std::uint32_t, xcb_keycode_t> keycodes_;
    std::map<xcb_window_t, std::uint32_t> damages_;
    std::deque<Damage> received_;
    std::map<xcb_window_t, long> reports_;
    xcb_window_t focused_ = XCB_NONE;
    std::uint32_t pidAtom_ = XCB_NONE;
};

}  // namespace corvanta::bench
