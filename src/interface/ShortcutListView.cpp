// See ShortcutListView.h.
#include "interface/ShortcutListView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

ShortcutListView::ShortcutListView(CorvantaView& root, QWidget* parent)
    : QAbstractScrollArea(parent), root_(root) {}

void ShortcutListView::render(const RenderContext&) {}

}  // namespace corvanta
