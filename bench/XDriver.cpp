#include "XDriver.h"

#include <xcb/damage.h>
#include <xcb/xtest.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvanta::bench {
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> own(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

}  // namespace

XDriver::XDriver() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (const int error = xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        throw std::runtime_error("cannot open the X display (error " + std::to_string(error) +
                                 "); run under xvfb-run");
    }
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    root_ = xcb_setup_roots_iterator(setup).data->root;

    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection_, &xcb_test_id);
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (!xtest || !xtest->present)
        throw std::runtime_error("the X server has no XTEST extension");
    if (!damage || !damage->present)
        throw std::runtime_error("the X server has no DAMAGE extension");
    damageEventBase_ = damage->first_event;
    // DAMAGE refuses every request until the client has said which version it speaks.
    own(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1),
                                       nullptr));

    firstKeycode_ = setup->min_keycode;
    const auto mapping = own(xcb_get_keyboard_mapping_reply(
        connection_,
        xcb_get_keyboard_mapping(connection_, setup->min_keycode,
                                 setup->max_keycode - setup->min_keycode + 1),
        nullptr));
    if (!mapping)
        throw std::runtime_error("cannot read the keyboard mapping");
    symbolsPerKeycode_ = mapping->keysyms_per_keycode;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int count = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    // The first keycode with the symbol unshifted, as a user would press it.
    for (int i = count - 1; i >= 0; --i)
        if (i % symbolsPerKeycode_ == 0 && symbols[i] != 0)
            keycodes_[symbols[i]] = xcb_keycode_t(firstKeycode_ + i / symbolsPerKeycode_);
    pidAtom_ = atom("_NET_WM_PID");
}

XDriver::~XDriver() {
    if (!connection_)
        return;
    for (const auto& [window, damage] : damages_) xcb_damage_destroy(connection_, damage);
    xcb_disconnect(connection_);
}

std::uint32_t XDriver::atom(const char* name) {
    const auto reply = own(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

std::vector<XDriver::Window> XDriver::windowsOf(pid_t pid) {
    std::vector<Window> windows;
    const auto tree =
        own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (!tree)
        return windows;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // All questions first, then all answers: one round trip, not three per window.
    std::vector<xcb_get_window_attributes_cookie_t> attributes;
    std::vector<xcb_get_property_cookie_t> pids;
    std::vector<xcb_get_geometry_cookie_t> geometries;
    for (int i = 0; i < count; ++i) {
        attributes.push_back(xcb_get_window_attributes(connection_, children[i]));
        pids.push_back(
            xcb_get_property(connection_, 0, children[i], pidAtom_, XCB_ATOM_CARDINAL, 0, 1));
        geometries.push_back(xcb_get_geometry(connection_, children[i]));
    }
    for (int i = 0; i < count; ++i) {
        const auto attribute =
            own(xcb_get_window_attributes_reply(connection_, attributes[size_t(i)], nullptr));
        const auto property = own(xcb_get_property_reply(connection_, pids[size_t(i)], nullptr));
        const auto geometry =
            own(xcb_get_geometry_reply(connection_, geometries[size_t(i)], nullptr));
        if (!attribute || !property || !geometry ||
            attribute->map_state != XCB_MAP_STATE_VIEWABLE ||
            xcb_get_property_value_length(property.get()) != 4)
            continue;
        std::uint32_t owner = 0;
        std::memcpy(&owner, xcb_get_property_value(property.get()), 4);
        if (owner == std::uint32_t(pid))
            // Top-level windows are the root's children: their geometry is
            // where they lie on the screen.
            windows.push_back(
                {children[i], geometry->x, geometry->y, geometry->width, geometry->height});
    }
    return windows;
}

xcb_window_t XDriver::windowOf(pid_t pid) {
    xcb_window_t best = XCB_NONE;
    long bestArea = -1;
    for (const Window& window : windowsOf(pid)) {
        const long area = long(window.width) * window.height;
        if (area > bestArea) {
            best = window.id;
            bestArea = area;
        }
    }
    return best;
}

std::uint32_t XDriver::pixelAt(int x, int y) {
    const auto image =
        own(xcb_get_image_reply(connection_,
                                xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_,
                                              std::int16_t(x), std::int16_t(y), 1, 1, ~0u),
                                nullptr));
    std::uint32_t value = 0;
    if (image && xcb_get_image_data_length(image.get()) >= 4)
        std::memcpy(&value, xcb_get_image_data(image.get()), 4);
    return value & 0xFFFFFF;
}

std::optional<int> XDriver::widthOf(xcb_window_t window) {
    const auto geometry =
        own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry)
        return std::nullopt;
    return geometry->width;
}

void XDriver::focus(xcb_window_t window) {
    if (focused_ == window)
        return;
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    focused_ = window;
}

xcb_keycode_t XDriver::keycodeOf(std::uint32_t keysym) const {
    const auto found = keycodes_.find(keysym);
    if (found == keycodes_.end())
        throw std::runtime_error("the keyboard has no key for symbol " + std::to_string(keysym));
    return found->second;
}

void XDriver::press(std::uint32_t keysym) {
    xcb_test_fake_input(connection_, XCB_KEY_PRESS, keycodeOf(keysym), XCB_CURRENT_TIME, XCB_NONE,
                        0, 0, 0);
    xcb_flush(connection_);
}

void XDriver::release(std::uint32_t keysym) {
    xcb_test_fake_input(connection_, XCB_KEY_RELEASE, keycodeOf(keysym), XCB_CURRENT_TIME, XCB_NONE,
                        0, 0, 0);
    xcb_flush(connection_);
}

void XDriver::click(int x, int y) {
    xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, std::int16_t(x),
                        std::int16_t(y), 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

void XDriver::type(std::uint32_t keysym, bool withControl) {
    const xcb_keycode_t key = keycodeOf(keysym);
    const xcb_keycode_t control = withControl ? keycodeOf(kKeyControlLeft) : 0;
    const auto fake = [this](std::uint8_t type, xcb_keycode_t code) {
        xcb_test_fake_input(connection_, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    };
    if (withControl)
        fake(XCB_KEY_PRESS, control);
    fake(XCB_KEY_PRESS, key);
    fake(XCB_KEY_RELEASE, key);
    if (withControl)
        fake(XCB_KEY_RELEASE, control);
    xcb_flush(connection_);
}

void XDriver::watch(xcb_window_t window) {
    if (damages_.contains(window))
        return;
    const std::uint32_t damage = xcb_generate_id(connection_);
    // Every drawing reports, so a report is never held back behind an
    // earlier one that was not yet acknowledged.
    xcb_damage_create(connection_, damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(connection_);
    damages_[window] = damage;
}

void XDriver::forget(xcb_window_t window) {
    const auto found = damages_.find(window);
    if (found == damages_.end())
        return;
    xcb_damage_destroy(connection_, found->second);
    xcb_flush(connection_);
    damages_.erase(found);
    reports_.erase(window);
    std::erase_if(received_, [window](const Damage& damage) { return damage.window == window; });
    if (focused_ == window)
        focused_ = XCB_NONE;
}

bool XDriver::receive(Clock::time_point deadline) {
    for (;;) {
        bool any = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const auto owned = own(event);
            any = true;
            if ((event->response_type & 0x7f) != damageEventBase_ + XCB_DAMAGE_NOTIFY)
                continue;
            const auto* notify = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            received_.push_back({notify->drawable, Clock::now()});
            ++reports_[notify->drawable];
        }
        if (any)
            return true;
        if (xcb_connection_has_error(connection_))
            throw std::runtime_error("the X connection broke");
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        // Rounded up, so the deadline is never missed by a millisecond's rest.
        if (poll(&descriptor, 1, int(left.count()) + 1) == 0 && Clock::now() >= deadline)
            return false;
    }
}

void XDriver::discardDamage() {
    while (receive(Clock::now())) {
    }
    received_.clear();
}

std::optional<Clock::time_point> XDriver::nextDamage(xcb_window_t window,
                                                     Clock::time_point deadline) {
    for (;;) {
        while (!received_.empty()) {
            const Damage damage = received_.front();
            received_.pop_front();
            if (damage.window == window)
                return damage.when;
        }
        if (!receive(deadline))
            return std::nullopt;
    }
}

std::optional<Clock::time_point> XDriver::nextDamageBatch(xcb_window_t window,
                                                          Clock::time_point deadline) {
    const auto when = nextDamage(window, deadline);
    std::erase_if(received_, [window](const Damage& damage) { return damage.window == window; });
    return when;
}

bool XDriver::waitQuiet(xcb_window_t window, Clock::duration quiet, Clock::time_point deadline,
                        Clock::time_point* lastDrawn) {
    Clock::time_point last = Clock::now();
    for (;;) {
        while (!received_.empty()) {
            if (received_.front().window == window) {
                last = std::max(last, received_.front().when);
                if (lastDrawn)
                    *lastDrawn = std::max(*lastDrawn, received_.front().when);
            }
            received_.pop_front();
        }
        const Clock::time_point calm = last + quiet;
        if (Clock::now() >= calm)
            return true;
        if (Clock::now() >= deadline)
            return false;
        receive(std::min(calm, deadline));
    }
}

}  // namespace corvanta::bench
