// See PasteSafeLineEdit.h. A paste the clipboard cannot serve is taken here,
// so the toolkit's own paste, which waits for the owner, never starts.
#include "interface/PasteSafeLineEdit.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "interface/ClipboardText.h"

namespace corvanta {

void PasteSafeLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly() &&
        !clipboard::holdsText(QClipboard::Clipboard)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PasteSafeLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the primary selection where there is one.
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection() &&
        !clipboard::holdsText(QClipboard::Selection)) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void PasteSafeLineEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The standard menu reads the clipboard to enable its Paste entry.
    if (!clipboard::ownerAnswers(QClipboard::Clipboard)) {
        event->accept();
        return;
    }
    QLineEdit::contextMenuEvent(event);
}

}  // namespace corvanta
