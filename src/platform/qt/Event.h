// One input event as local event monitors see it: macOS-style key codes and a
// y-up location in the event's window.
#pragma once

#include <qnamespace.h>
#include <cstdint>

#include "platform/foundation/Geometry.h"

class QWidget;

namespace corvanta::platform {

enum class EventType { keyDown, leftMouseDown };

// Bits as macOS event masks: key down 1 << 10, left mouse down 1 << 1.
enum class EventMask : std::uint32_t {
    none = 0,
    leftMouseDown = 1u << 1,
    keyDown = 1u << 10,
};
constexpr EventMask operator|(EventMask a, EventMask b) {
    return static_cast<EventMask>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool maskIncludes(EventMask mask, EventType type) {
    const auto bit = type == EventType::keyDown ? EventMask::keyDown : EventMask::leftMouseDown;
    return (static_cast<std::uint32_t>(mask) & static_cast<std::uint32_t>(bit)) != 0;
}

// macOS virtual key codes for the keys we need to tell apart.
namespace keycode {
constexpr int returnKey = 36;
constexpr int tab = 48;
constexpr int space = 49;
constexpr int deleteKey = 51;
constexpr int escape = 53;
constexpr int leftArrow = 123;
constexpr int rightArrow = 124;
constexpr int downArrow = 125;
constexpr int upArrow = 126;
constexpr int unknown = -1;
}  // namespace keycode

// The macOS virtual key code for a Qt key (letters, digits and the keys above);
// keycode::unknown for anything else.
int keyCodeFromQtKey(int qtKey);

struct Event {
    EventType type = EventType::keyDown;
    int keyCode = keycode::unknown;  // key events only
    int qtKey = 0;                   // key events only: the Qt::Key
    Qt::KeyboardModifiers modifiers;
    // The top-level widget the event is for; null when it has none.
    QWidget* window = nullptr;
    // y-up, in the window's coordinates (origin bottom-left). Mouse events only.
    Point locationInWindow;
};

}  // namespace corvanta::platform
