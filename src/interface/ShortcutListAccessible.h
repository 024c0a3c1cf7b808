// How assistive technology sees the shortcut list: the section titles as
// headings and the rows as items read as their title and keys, each row with
// a text that flat review reads and its star button (the list paints all of
// them, so they have no objects of their own), and the empty state's title
// and message when no row is shown. An entry keeps its accessible object for
// as long as it is shown, whatever else the result gains or loses.
#pragma once

#include <map>
#include <optional>
#include <string>
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
    // A painted part of the list: a header or row entry, a row's text (its
    // title and keys, as flat review reads it), or a row's star.
    enum class Part { entry, text, star };

    virtual QWidget* listViewport() const = 0;
    // Every section header (row −1) and row, in display order, and what each
    // one shows.
    virtual const std::vector<ShortcutListLayout::Entry>& entries() const = 0;
    virtual const std::vector<std::string>& entryKeys() const = 0;
    // The entry index of a key, −1 when it is not shown.
    virtual int entryIndexOf(const std::string& key) const = 0;
    // In viewport coordinates; empty for an entry that does not exist.
    virtual QRect entryRect(int section, int row) const = 0;
    virtual QRect starRect(int section, int row) const = 0;
    // A section's title as it is spoken: in its own case, where the painted
    // one is upper case (a screen reader would spell it letter by letter).
    virtual QString sectionName(int section) const = 0;
    virtual QString rowAccessibleName(int section, int row) const = 0;
    virtual QString starAccessibleName(int section, int row) const = 0;
    virtual bool isFavorite(int section, int row) const = 0;
    virtual void toggleFavorite(int section, int row) = 0;
    // The list's registered interface of a part, none for a part that does
    // not exist.
    virtual QAccessibleInterface* partAccessible(Part part, int section, int row) const = 0;
    // The part that holds the keyboard focus, if the list has it.
    virtual std::optional<std::pair<Part, std::string>> focusedPart() const = 0;
    // The empty state's title and message while no row is shown.
    virtual std::optional<std::pair<QString, QString>> emptyStateTexts() const = 0;

protected:
    ~AccessibleShortcutList() = default;
};

// Registers the list's accessible interface with the toolkit (once); it
// applies to every widget that is an AccessibleShortcutList.
void installShortcutListAccessibility();

// The interfaces of a list's parts, by what they show: made when first asked
// for, kept while their entry is shown.
class ShortcutListParts {
public:
    using Part = AccessibleShortcutList::Part;

    ShortcutListParts(QWidget* listWidget, AccessibleShortcutList& list);
    ~ShortcutListParts();
    ShortcutListParts(const ShortcutListParts&) = delete;
    ShortcutListParts& operator=(const ShortcutListParts&) = delete;

    // Registered and owned here; none for a part of no shown entry.
    QAccessibleInterface* part(Part part, const std::string& key);
    // After the list's entries changed from `before` to the list's current
    // ones: drops the parts of entries no longer shown, each entry with a
    // removal event, then tells of every entry added and every kept part
    // whose name changed. Nothing is told before anyone has asked for a part.
    void entriesChanged(const std::vector<std::string>& before);
    // Drops every part, telling nobody (the list goes).
    void clear();

private:
    struct Registered {
        unsigned id;
        QString name;  // as last told
        bool checked = false;
    };
    void drop(const std::pair<std::string, Part>& which, bool tell);

    QWidget* widget_;
    AccessibleShortcutList& list_;
    std::map<std::pair<std::string, Part>, Registered> parts_;
};

}  // namespace corvanta
