// See CategoryTabsView.h.
#include "interface/CategoryTabsView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

CategoryTabsView::CategoryTabsView(CorvantaView& root, QWidget* parent)
    : QWidget(parent), root_(root) {}

void CategoryTabsView::render(const RenderContext&) {}

}  // namespace corvanta
