// How assistive technology sees the shortcut list: the section titles as
// headings and the rows as items read as their title and keys, each row with
// its star button (the list paints all of them, so they have no objects of
// their own), and the empty state's title and message when no row is shown.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QRect>
#include <QString>

#include "interface/ShortcutListLayout.h"

class QAccessibleInterface;
class QWidget;

namespace corvanta {

// What the accessible list asks of the list widget that implements it.
class AccessibleShortcutList {
public:
    // A painted part of the list: a header or row entry, or a row's star.
    enum class Part { entry, star };

    virtual QWidget* listViewport() const = 0;
    // Every section header (row −1) and row, in display order.
    virtual const std::vector<ShortcutListLayout::Entry>& entries() const = 0;
    // In viewport coordinates; empty for an entry that does not exist.
    virtual QRect entryRect(int section, int row) const = 0;
    virtual QRect starRect(int section, int row) const = 0;
    virtual QString sectionTitle(int section) const = 0;
    virtual QString rowAccessibleName(int section, int row) const = 0;
    virtual QString starAccessibleName(int section, int row) const = 0;
    virtual void toggleFavorite(int section, int row) = 0;
    // The list's registered interface of a part, none for a part that does
    // not exist.
    virtual QAccessibleInterface* partAccessible(Part part, int section, int row) const = 0;
    // The empty state's title and message while no row is shown.
    virtual std::optional<std::pair<QString, QString>> emptyStateTexts() const = 0;

protected:
    ~AccessibleShortcutList() = default;
};

// Registers the list's accessible interface with the toolkit (once); it
// applies to every widget that is an AccessibleShortcutList.
void installShortcutListAccessibility();
// A new accessible interface for one part (a header is the entry of row −1);
// the list registers and owns it.
QAccessibleInterface* makeShortcutListPartAccessible(QWidget* listWidget,
                                                     AccessibleShortcutList& list,
                                                     AccessibleShortcutList::Part part, int section,
                                                     int row);

}  // namespace corvanta
