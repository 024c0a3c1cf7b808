// See HeaderView.h.
#include "interface/HeaderView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

HeaderView::HeaderView(CorvantaView& root, QWidget* parent) : QWidget(parent), root_(root) {}

void HeaderView::render(const RenderContext&) {}

}  // namespace corvanta
