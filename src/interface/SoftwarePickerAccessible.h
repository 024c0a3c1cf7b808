// How assistive technology sees the pack picker: the popup as a dialog of the
// panel (a popup window is otherwise left out of the application's tree), its
// hint as text, and the grid's painted group titles and pack tiles as headings
// and buttons among the request tiles' own buttons.
#pragma once

class QAccessibleInterface;

namespace corvanta {

class SoftwarePickerGrid;

// Registers the picker's interfaces with the toolkit (once). The panel's own
// interface lists the open popup, so this also happens before any window is
// made (see the .cpp).
void installSoftwarePickerAccessibility();
// A new interface for the grid's painted item at `index` (a heading or a pack
// tile); the grid registers and owns it.
QAccessibleInterface* makePickerItemAccessible(SoftwarePickerGrid* grid, int index);

}  // namespace corvanta
