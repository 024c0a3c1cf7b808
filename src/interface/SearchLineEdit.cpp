// See SearchLineEdit.h.
#include "interface/SearchLineEdit.h"

#include <limits>

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace corvanta {

SearchLineEdit::SearchLineEdit(style::TextRole role, QWidget* parent) : WindowedLineEdit(parent) {
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFont(style::font(role));
    setTextMargins(0, 0, 0, 0);
    // A line edit cuts its text at 32,767 characters by default; whatever is
    // typed or pasted is searched for whole.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &WindowedLineEdit::fullTextEdited, this, [this] {
        if (handlingKey_)
            editedByKey_ = true;
        else
            reportEdit();
    });
}

void SearchLineEdit::keyPressEvent(QKeyEvent* event) {
    // The field marks itself for repainting after it reports the edit; told
    // only once it is done, a listener that paints at once paints the final
    // field, and nothing of the field is left to paint a second time.
    handlingKey_ = true;
    editedByKey_ = false;
    WindowedLineEdit::keyPressEvent(event);
    handlingKey_ = false;
    if (editedByKey_) {
        editedByKey_ = false;
        reportEdit();
    }
}

void SearchLineEdit::reportEdit() {
    if (onTextChange)
        onTextChange(fullText().toStdString());
}

void SearchLineEdit::refresh(const std::string& text, const QString& placeholder,
                             const ThemeColors& colors) {
    const QString wanted = QString::fromStdString(text);
    if (fullText() != wanted && !composing_)
        setFullText(wanted);
    if (placeholderText() != placeholder)
        setPlaceholderText(placeholder);
    // Renders follow every keystroke; the palette changes only with the theme.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, colors.textPrimary);
    palette.setColor(QPalette::PlaceholderText, colors.textMuted);
    palette.setColor(QPalette::Highlight, colors.surfaceSelected);
    palette.setColor(QPalette::HighlightedText, colors.textPrimary);
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    if (palette != this->palette())
        setPalette(palette);
}

void SearchLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    reportFocus(true);
}

void SearchLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    reportFocus(false);
}

void SearchLineEdit::inputMethodEvent(QInputMethodEvent* event) {
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

void SearchLineEdit::reportFocus(bool focused) {
    if (onFocusChange)
        onFocusChange(focused);
}

}  // namespace corvanta
