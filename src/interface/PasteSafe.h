// Text fields whose pastes never hang on a clipboard owner that does not
// answer, and never disturb the text when the clipboard holds no text.
#pragma once

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "interface/ClipboardText.h"

class QMimeData;

namespace corvanta {

// A paste the clipboard cannot serve is taken here, so the toolkit's own
// paste, which waits for the owner, never starts.
template <typename Field>
class PasteSafe : public Field {
public:
    using Field::Field;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Paste) && !this->isReadOnly() &&
            !clipboard::holdsText(QClipboard::Clipboard)) {
            event->accept();
            return;
        }
        Field::keyPressEvent(event);
    }
    // The middle button pastes the primary selection where there is one.
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::MiddleButton && !this->isReadOnly() &&
            QGuiApplication::clipboard()->supportsSelection() &&
            !clipboard::holdsText(QClipboard::Selection)) {
            event->accept();
            return;
        }
        Field::mouseReleaseEvent(event);
    }
    // The standard menu reads the clipboard to enable its Paste entry.
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!clipboard::ownerAnswers(QClipboard::Clipboard)) {
            event->accept();
            return;
        }
        Field::contextMenuEvent(event);
    }
};

using PasteSafeLineEdit = PasteSafe<QLineEdit>;

// Handed data that has no format at all, the toolkit's text areas crash.
class PasteSafeTextArea : public PasteSafe<QPlainTextEdit> {
public:
    using PasteSafe::PasteSafe;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return clipboard::hasAnyFormat(source) && QPlainTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (clipboard::hasAnyFormat(source))
            QPlainTextEdit::insertFromMimeData(source);
    }
};

}  // namespace corvanta
