// How assistive technology sees the shortcut list: the list with one star
// button per row (the list paints them, so they have no objects of their own),
// and the empty state's title and message when no row is shown.
#pragma once

class QAccessibleInterface;

namespace corvanta {

class ShortcutListView;

// Registers the list's accessible interface with the toolkit (once).
void installShortcutListAccessibility();
// A new accessible star button for one row; the list registers and owns it.
QAccessibleInterface* makeStarAccessible(ShortcutListView* list, int section, int row);

}  // namespace corvanta
