// See FooterView.h.
#include "interface/FooterView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

FooterView::FooterView(CorvantaView& root, QWidget* parent) : QWidget(parent), root_(root) {}

void FooterView::render(const RenderContext&) {}

}  // namespace corvanta
