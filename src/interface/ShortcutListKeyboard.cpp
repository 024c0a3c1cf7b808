// The shortcut list's keyboard: a current row that Up, Down, Page Up, Page
// Down, Home and End move, Tab to and from its star, Space or Return to star
// it, each step reported to assistive technology as the focused part; and the
// mark that shows the current row while the keyboard brought the focus.
#include <algorithm>

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "interface/ShortcutListView.h"

namespace corvanta {

std::optional<std::pair<int, int>> ShortcutListView::currentRow() const {
    const int index = currentRowIndex();
    if (index < 0)
        return std::nullopt;
    return layout_.rows()[static_cast<std::size_t>(index)];
}

int ShortcutListView::currentRowIndex() const {
    if (currentKey_.empty())
        return -1;
    const int entry = layout_.entryIndexOf(currentKey_);
    if (entry < 0)
        return -1;
    // Each section's header comes before its rows.
    return entry - (layout_.entries()[static_cast<std::size_t>(entry)].section + 1);
}

std::optional<std::pair<ShortcutListView::Part, std::string>> ShortcutListView::focusedPart()
    const {
    if (!hasFocus() || currentRowIndex() < 0)
        return std::nullopt;
    return std::make_pair(starCurrent_ ? Part::star : Part::entry, currentKey_);
}

bool ShortcutListView::showsFocusIndicator() const {
    return hasFocus() && keyboardFocus_ && currentRowIndex() >= 0;
}

void ShortcutListView::setCurrentRow(int rowIndex, bool star) {
    const auto& rows = layout_.rows();
    if (rowIndex < 0 || rowIndex >= static_cast<int>(rows.size()))
        return;
    const auto [section, row] = rows[static_cast<std::size_t>(rowIndex)];
    const int entry = static_cast<int>(entryAt(section, row) - layout_.entries().data());
    currentKey_ = layout_.entryKeys()[static_cast<std::size_t>(entry)];
    currentIndex_ = rowIndex;
    starCurrent_ = star;
    if (hasFocus())
        scrollToRow(section, row);
    viewport()->update();
}

int ShortcutListView::firstVisibleRowIndex() const {
    const auto& rows = layout_.rows();
    const int top = verticalScrollBar()->value() + kHeaderHeight;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (layout_.entryFor(rows[i].first, rows[i].second)->top >= top)
            return static_cast<int>(i);
    }
    return static_cast<int>(rows.size()) - 1;
}

void ShortcutListView::announceFocus(bool later) {
    if (!QAccessible::isActive())
        return;
    if (later) {
        QMetaObject::invokeMethod(
            this, [this] { announceFocus(false); }, Qt::QueuedConnection);
        return;
    }
    const auto current = currentRow();
    if (!hasFocus() || !current)
        return;
    if (QAccessibleInterface* part = partAccessible(starCurrent_ ? Part::star : Part::entry,
                                                    current->first, current->second)) {
        QAccessibleEvent event(part, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void ShortcutListView::keyPressEvent(QKeyEvent* event) {
    const int last = static_cast<int>(layout_.rows().size()) - 1;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool jump = plain || modifiers == Qt::ControlModifier;
    int index = currentRowIndex();
    const int page = std::max(1, (viewport()->height() - kHeaderHeight) / kRowHeight);
    int target = -1;
    switch (event->key()) {
        case Qt::Key_Up:
            target = plain ? index - 1 : -1;
            break;
        case Qt::Key_Down:
            target = plain ? index + 1 : -1;
            break;
        case Qt::Key_PageUp:
            target = plain ? index - page : -1;
            break;
        case Qt::Key_PageDown:
            target = plain ? index + page : -1;
            break;
        case Qt::Key_Home:
            target = jump ? 0 : -1;
            break;
        case Qt::Key_End:
            target = jump ? last : -1;
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (plain && index >= 0) {
                const auto [section, row] = *currentRow();
                toggleFavorite(section, row);
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    const bool move = event->key() != Qt::Key_Space && event->key() != Qt::Key_Return &&
                      event->key() != Qt::Key_Enter && (plain || jump) && target != -1;
    if (!move || last < 0) {
        event->ignore();
        return;
    }
    if (index < 0 && event->key() != Qt::Key_Home && event->key() != Qt::Key_End)
        target = firstVisibleRowIndex();
    setCurrentRow(std::clamp(target, 0, last), false);
    announceFocus(false);
    event->accept();
}

void ShortcutListView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    switch (event->reason()) {
        case Qt::MouseFocusReason:
            keyboardFocus_ = false;
            break;
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
            break;  // the focus comes back as it went
        default:
            keyboardFocus_ = true;
            break;
    }
    int index = currentRowIndex();
    if (index < 0)
        index = firstVisibleRowIndex();
    // Shift+Tab comes back to the last stop inside the list, the star.
    setCurrentRow(index, event->reason() == Qt::BacktabFocusReason ||
                             (event->reason() == Qt::ActiveWindowFocusReason && starCurrent_));
    announceFocus(true);
}

void ShortcutListView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool ShortcutListView::focusNextPrevChild(bool next) {
    // Tab goes from the current row to its star, and Shift+Tab back.
    if (hasFocus() && currentRowIndex() >= 0 && next != starCurrent_) {
        starCurrent_ = next;
        viewport()->update();
        announceFocus(false);
        return true;
    }
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void ShortcutListView::paintFocusIndicator(QPainter& painter, const RenderContext& context) const {
    const auto current = currentRow();
    if (!showsFocusIndicator() || !current)
        return;
    const QRectF row = QRectF(rowRect(current->first, current->second));
    const QRectF frame = starCurrent_ ? ShortcutRow::starRect(row) : row;
    painter.save();
    // Rows passing beneath the pinned header are hidden, and so is their mark.
    if (const auto pinned = pinnedHeader())
        painter.setClipRect(
            QRectF(0, pinned->second + kHeaderHeight, viewport()->width(), viewport()->height()));
    painter.setPen(QPen(context.colors.accent, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 7, 7);
    painter.restore();
}

}  // namespace corvanta
