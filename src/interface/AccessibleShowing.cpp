// See AccessibleShowing.h.
#include "interface/AccessibleShowing.h"

#include <QWidget>

namespace corvanta {
namespace {

const char* const kFaceProperty = "corvantaFace";

void dropEvent(QAccessibleEvent*) {}

void announceMembership(QWidget* face, QAccessible::Event type) {
    if (!face)
        return;
    if (QAccessibleInterface* node = QAccessible::queryAccessibleInterface(face)) {
        QAccessibleEvent event(node, type);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace

void markFace(QWidget* face) {
    face->setProperty(kFaceProperty, true);
}

bool isFace(const QWidget* widget) {
    return widget && widget->property(kFaceProperty).toBool();
}

void announceFaceChange(QWidget* shown, QWidget* hidden) {
    if (!QAccessible::isActive())
        return;
    // A removal on its parent for the face that went, an addition for the
    // one that came: a client reads the new face afresh, as it is now.
    announceMembership(hidden, QAccessible::ObjectDestroyed);
    announceMembership(shown, QAccessible::ObjectCreated);
}

SilentAccessibility::SilentAccessibility()
    : previous_(QAccessible::installUpdateHandler(&dropEvent)) {}

SilentAccessibility::~SilentAccessibility() {
    QAccessible::installUpdateHandler(previous_);
}

}  // namespace corvanta
