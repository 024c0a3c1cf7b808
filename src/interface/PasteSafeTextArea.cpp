// See PasteSafeTextArea.h.
#include "interface/PasteSafeTextArea.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "interface/ClipboardText.h"

namespace corvanta {

void PasteSafeTextArea::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly() &&
        !clipboard::holdsText(QClipboard::Clipboard)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PasteSafeTextArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection() &&
        !clipboard::holdsText(QClipboard::Selection)) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void PasteSafeTextArea::contextMenuEvent(QContextMenuEvent* event) {
    // The standard menu asks the clipboard whether Paste can be offered.
    if (!clipboard::ownerAnswers(QClipboard::Clipboard)) {
        event->accept();
        return;
    }
    QPlainTextEdit::contextMenuEvent(event);
}

bool PasteSafeTextArea::canInsertFromMimeData(const QMimeData* source) const {
    return clipboard::hasAnyFormat(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void PasteSafeTextArea::insertFromMimeData(const QMimeData* source) {
    if (clipboard::hasAnyFormat(source))
        QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace corvanta
