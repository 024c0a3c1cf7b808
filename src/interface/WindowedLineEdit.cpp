// See WindowedLineEdit.h. The line edit below only ever holds the window;
// `full_` is the text. Edits the line edit makes itself arrive through
// textEdited and are carried into `full_`; anything else that sets its text
// (a plain setText) replaces the whole text.
#include "interface/WindowedLineEdit.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "interface/ClipboardText.h"

namespace corvanta {
namespace {

bool matchesAny(QKeyEvent* event, std::initializer_list<QKeySequence::StandardKey> keys) {
    return std::any_of(keys.begin(), keys.end(),
                       [event](QKeySequence::StandardKey key) { return event->matches(key); });
}

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta ||
           key == Qt::Key_Alt || key == Qt::Key_AltGr;
}

}  // namespace

WindowedLineEdit::WindowedLineEdit(QWidget* parent) : PasteSafeLineEdit(parent) {
    // Edited comes before changed; a change without an edit is a setText.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        full_.replace(offset_, shown_.size(), text);
        shown_ = text;
        wideSelection_.reset();
        reportEdit();
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (showing_ || text == shown_)
            return;
        full_ = text;
        shown_ = text;
        offset_ = 0;
        wideSelection_.reset();
    });
}

void WindowedLineEdit::setFullText(const QString& text) {
    full_ = text;
    wideSelection_.reset();
    showAround({full_.size(), full_.size()}, true);
}

void WindowedLineEdit::selectFullText() {
    if (!isWindowed()) {
        selectAll();
        return;
    }
    showAround({0, full_.size()});
}

WindowedLineEdit::Selection WindowedLineEdit::selectionInText() const {
    if (wideSelection_)
        return *wideSelection_;
    const qsizetype position = offset_ + cursorPosition();
    if (!hasSelectedText())
        return {position, position};
    const qsizetype start = offset_ + selectionStart();
    const qsizetype end = offset_ + selectionEnd();
    return {position == start ? end : start, position};
}

void WindowedLineEdit::keyPressEvent(QKeyEvent* event) {
    if (takeLongTextKey(event)) {
        event->accept();
        return;
    }
    // Room on both sides of the caret for whatever the key does.
    showAround(selectionInText());
    PasteSafeLineEdit::keyPressEvent(event);
    showAround(selectionInText());
}

void WindowedLineEdit::mousePressEvent(QMouseEvent* event) {
    wideSelection_.reset();
    PasteSafeLineEdit::mousePressEvent(event);
}

bool WindowedLineEdit::takeLongTextKey(QKeyEvent* event) {
    if (wideSelection_ && takeWideSelectionKey(event))
        return true;
    if (event->matches(QKeySequence::Paste))
        return takePaste();
    if (!isWindowed())
        return false;
    const Selection selection = selectionInText();
    const qsizetype end = full_.size();
    if (matchesAny(event, {QKeySequence::MoveToStartOfLine, QKeySequence::MoveToStartOfBlock,
                           QKeySequence::MoveToStartOfDocument}))
        showAround({0, 0});
    else if (matchesAny(event, {QKeySequence::MoveToEndOfLine, QKeySequence::MoveToEndOfBlock,
                                QKeySequence::MoveToEndOfDocument}))
        showAround({end, end});
    else if (matchesAny(event, {QKeySequence::SelectStartOfLine, QKeySequence::SelectStartOfBlock,
                                QKeySequence::SelectStartOfDocument}))
        showAround({selection.anchor, 0});
    else if (matchesAny(event, {QKeySequence::SelectEndOfLine, QKeySequence::SelectEndOfBlock,
                                QKeySequence::SelectEndOfDocument}))
        showAround({selection.anchor, end});
    else if (event->matches(QKeySequence::SelectAll))
        showAround({0, end});
    else
        return false;
    return true;
}

bool WindowedLineEdit::takeWideSelectionKey(QKeyEvent* event) {
    const Selection selection = *wideSelection_;
    const qsizetype low = std::min(selection.anchor, selection.position);
    const qsizetype high = std::max(selection.anchor, selection.position);
    if (isModifierKey(event->key()))
        return false;
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        QGuiApplication::clipboard()->setText(full_.mid(low, high - low));
        if (event->matches(QKeySequence::Cut))
            replaceSelection(QString());
        return true;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
        matchesAny(event, {QKeySequence::Delete, QKeySequence::Backspace,
                           QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord})) {
        replaceSelection(QString());
        return true;
    }
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!command && !typed.isEmpty() && typed.front().isPrint()) {
        replaceSelection(typed);
        return true;
    }
    if (event->matches(QKeySequence::MoveToPreviousChar)) {
        showAround({low, low});
        return true;
    }
    if (event->matches(QKeySequence::MoveToNextChar)) {
        showAround({high, high});
        return true;
    }
    if (matchesAny(event, {QKeySequence::Paste, QKeySequence::SelectAll,
                           QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine,
                           QKeySequence::SelectStartOfBlock, QKeySequence::SelectEndOfBlock,
                           QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument}))
        return false;
    // Any other key acts on the part of the selection the window shows.
    wideSelection_.reset();
    return false;
}

bool WindowedLineEdit::takePaste() {
    if (isReadOnly())
        return false;
    if (!clipboard::holdsText(QClipboard::Clipboard))
        return true;
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    const Selection selection = selectionInText();
    const qsizetype replaced = std::abs(selection.position - selection.anchor);
    // A short result is the line edit's own paste, which it can undo.
    if (!wideSelection_ && !isWindowed() &&
        full_.size() - replaced + text.size() <= kWholeTextLimit)
        return false;
    replaceSelection(text);
    return true;
}

void WindowedLineEdit::replaceSelection(const QString& text) {
    const Selection selection = selectionInText();
    const qsizetype low = std::min(selection.anchor, selection.position);
    const qsizetype high = std::max(selection.anchor, selection.position);
    full_.replace(low, high - low, text);
    wideSelection_.reset();
    const qsizetype caret = low + text.size();
    showAround({caret, caret}, true);
    reportEdit();
}

void WindowedLineEdit::showAround(Selection selection, bool force) {
    const qsizetype size = full_.size();
    qsizetype start = 0;
    qsizetype length = size;
    if (isWindowed()) {
        const qsizetype end = offset_ + shown_.size();
        const qsizetype caret = selection.position;
        const bool shownWhole = shown_.size() == std::min(kWindowLength, size - offset_);
        const bool roomBefore = offset_ == 0 || caret - offset_ >= kWindowMargin;
        const bool roomAfter = end == size || end - caret >= kWindowMargin;
        if (!force && shownWhole && roomBefore && roomAfter && caret >= offset_ && caret <= end) {
            start = offset_;
        } else {
            start = std::clamp<qsizetype>(caret - kWindowLength / 2, 0, size - kWindowLength);
            // Never between the halves of a surrogate pair.
            if (start > 0 && full_.at(start).isLowSurrogate())
                --start;
        }
        length = std::min(kWindowLength, size - start);
        if (start + length < size && full_.at(start + length - 1).isHighSurrogate())
            --length;
    }
    const bool moved = force || start != offset_ || length != shown_.size();
    const Selection before = selectionInText();
    showing_ = true;
    if (moved) {
        offset_ = start;
        shown_ = full_.mid(start, length);
        setText(shown_);
    }
    const qsizetype anchor = std::clamp(selection.anchor - offset_, qsizetype(0), length);
    const qsizetype position = std::clamp(selection.position - offset_, qsizetype(0), length);
    if (offset_ + anchor != selection.anchor)
        wideSelection_ = selection;
    else
        wideSelection_.reset();
    if (moved || before.anchor != selection.anchor || before.position != selection.position) {
        if (anchor == position)
            setCursorPosition(int(position));
        else
            setSelection(int(anchor), int(position - anchor));
    }
    showing_ = false;
}

void WindowedLineEdit::reportEdit() {
    Q_EMIT fullTextEdited(full_);
}

}  // namespace corvanta
