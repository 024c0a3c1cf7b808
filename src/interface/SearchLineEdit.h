// The one-line search field both search boxes are made of: no frame, the
// theme's text colours on a transparent plate, focus reported both ways, and
// text written back only when it differs and no input method is composing.
#pragma once

#include <functional>
#include <string>

#include "interface/Palette.h"
#include "interface/Style.h"
#include "interface/WindowedLineEdit.h"

namespace corvanta {

class SearchLineEdit : public WindowedLineEdit {
    Q_OBJECT
public:
    SearchLineEdit(style::TextRole role, QWidget* parent);

    // Told the new text on every edit by the user; for a typed key, once the
    // field has finished with the key, so what is drawn then is final.
    std::function<void(const std::string&)> onTextChange;
    // Told true when the field takes the keyboard, false when the user leaves
    // it. A popup opening over it or its window losing activation is not
    // leaving: the field still holds its window's focus.
    std::function<void(bool)> onFocusChange;

    // True while an input method is composing text in the field.
    bool isComposing() const { return composing_; }
    // Brings text, placeholder and colours in line. The caret and selection
    // survive typing because equal text is never written again.
    void refresh(const std::string& text, const QString& placeholder, const ThemeColors& colors);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reportFocus(bool focused);

private:
    void reportEdit();

    bool composing_ = false;
    bool handlingKey_ = false;
    bool editedByKey_ = false;
};

}  // namespace corvanta
