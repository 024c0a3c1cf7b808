// See AccessibleShowing.h.
#include "interface/AccessibleShowing.h"

#include <QAccessible>
#include <QWidget>

namespace corvanta {
namespace {

// Deep enough for the panel's faces (list, row, star); a guard, not a limit
// any face reaches.
constexpr int kMaxDepth = 12;

void announce(QAccessibleInterface* node, bool showing, int depth) {
    if (!node || !node->isValid() || depth > kMaxDepth)
        return;
    const QAccessible::State state = node->state();
    // Something hidden or scrolled away inside a shown face stays as it is.
    if (showing && (state.invisible || state.offscreen))
        return;
    QAccessibleEvent event(node, showing ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
    const int count = node->childCount();
    for (int i = 0; i < count; ++i) announce(node->child(i), showing, depth + 1);
}

}  // namespace

void announceShowing(QWidget* face, bool showing) {
    if (!face || !QAccessible::isActive())
        return;
    announce(QAccessible::queryAccessibleInterface(face), showing, 0);
}

}  // namespace corvanta
