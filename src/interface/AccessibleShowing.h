// Tells assistive technology that a whole face of the panel came on screen or
// left it. The toolkit announces "showing" only for the widget that was shown
// or hidden, while clients (libatspi, and through it the screen reader) keep
// the showing state they last read for everything below it: without this, the
// face that was on screen when the reader started is the only one it reads.
#pragma once

class QWidget;

namespace corvanta {

// Announces `face` and every object below it that is on screen as showing,
// or, when `showing` is false, every object below it as no longer showing.
// Does nothing while no assistive technology listens.
void announceShowing(QWidget* face, bool showing);

}  // namespace corvanta
