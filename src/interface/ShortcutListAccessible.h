// How assistive technology sees the shortcut list: the list with one star
// button per row (the list paints them, so they have no objects of their own),
// and the empty state's title and message when no row is shown.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QRect>
#include <QString>

class QAccessibleInterface;
class QWidget;

namespace corvanta {

// What the accessible list asks of the list widget that implements it.
class AccessibleShortcutList {
public:
    virtual QWidget* listViewport() const = 0;
    // Indices of every row, in display order.
    virtual const std::vector<std::pair<int, int>>& rows() const = 0;
    virtual int rowCount(int section) const = 0;
    // In viewport coordinates.
    virtual QRect starRect(int section, int row) const = 0;
    virtual QString starAccessibleName(int section, int row) const = 0;
    virtual void toggleFavorite(int section, int row) = 0;
    // The list's registered star button of a row, none for a row that does
    // not exist.
    virtual QAccessibleInterface* starAccessible(int section, int row) const = 0;
    // The empty state's title and message while no row is shown.
    virtual std::optional<std::pair<QString, QString>> emptyStateTexts() const = 0;

protected:
    ~AccessibleShortcutList() = default;
};

// Registers the list's accessible interface with the toolkit (once); it
// applies to every widget that is an AccessibleShortcutList.
void installShortcutListAccessibility();
// A new accessible star button for one row; the list registers and owns it.
QAccessibleInterface* makeStarAccessible(QWidget* listWidget, AccessibleShortcutList& list,
                                         int section, int row);

}  // namespace corvanta
