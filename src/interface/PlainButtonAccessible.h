// How assistive technology reads the panel's plain buttons: a push button (a
// check box or radio button while it has an on/off or chosen state) named by
// its label that reports the states the button is given (checked,
// pressed, opens a popup and whether it is open, focused as a grid's current
// tile) and presses, with the key that presses it from elsewhere.
#pragma once

namespace corvanta {

// Registers the buttons' interface with the toolkit (once).
void installPlainButtonAccessibility();

}  // namespace corvanta
