// Qt keys to macOS virtual key codes (the ANSI keyboard layout's codes).
#include "platform/qt/Event.h"

namespace corvanta::platform {

int keyCodeFromQtKey(int qtKey) {
    // Letters A…Z and digits 0…9 in their key-code order.
    static constexpr int kLetters[26] = {0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                                         45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};
    static constexpr int kDigits[10] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return kLetters[qtKey - Qt::Key_A];
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return kDigits[qtKey - Qt::Key_0];
    switch (qtKey) {
        case Qt::Key_Return:
            return keycode::returnKey;
        case Qt::Key_Enter:
            return 76;  // keypad Enter
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return keycode::tab;
        case Qt::Key_Space:
            return keycode::space;
        case Qt::Key_Backspace:
            return keycode::deleteKey;
        case Qt::Key_Delete:
            return 117;  // forward delete
        case Qt::Key_Escape:
            return keycode::escape;
        case Qt::Key_Left:
            return keycode::leftArrow;
        case Qt::Key_Right:
            return keycode::rightArrow;
        case Qt::Key_Down:
            return keycode::downArrow;
        case Qt::Key_Up:
            return keycode::upArrow;
        default:
            return keycode::unknown;
    }
}

}  // namespace corvanta::platform
