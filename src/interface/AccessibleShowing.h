// Keeps a screen reader's view of the panel's two faces (the collapsed bar and
// the expanded panel) in step with the screen. AT-SPI clients (libatspi, and
// through it Orca) keep the "showing" and "visible" states they first read
// for each object, and Qt's bridge announces "showing" only for the one
// widget shown or hidden and "visible" never: an object a client reads while
// its face is hidden stays invisible to it for good. So a hidden face is not
// listed among its parent's children, a face change says which face joined
// and which left, and nothing about a hidden object is announced.
#pragma once

#include <QAccessible>

class QWidget;

namespace corvanta {

// Marks `face` as one of the panel's faces.
void markFace(QWidget* face);

// Whether `widget` is one of the panel's faces.
bool isFace(const QWidget* widget);

// Tells assistive technology that `shown` joined the panel's children and
// `hidden` left them (either may be null). Does nothing while none listens.
void announceFaceChange(QWidget* shown, QWidget* hidden);

// While one lives, changes (names, states) are not announced: for objects no
// client can see, whose next reading must be made when they are on screen.
class SilentAccessibility {
public:
    SilentAccessibility();
    ~SilentAccessibility();
    SilentAccessibility(const SilentAccessibility&) = delete;
    SilentAccessibility& operator=(const SilentAccessibility&) = delete;

private:
    QAccessible::UpdateHandler previous_;
};

}  // namespace corvanta
