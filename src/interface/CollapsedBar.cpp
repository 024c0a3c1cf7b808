// See CollapsedBar.h.
#include "interface/CollapsedBar.h"

#include "interface/CorvantaView.h"

namespace corvanta {

CollapsedBar::CollapsedBar(CorvantaView& root, QWidget* parent) : QWidget(parent), root_(root) {}

void CollapsedBar::render(const RenderContext&) {}

void CollapsedBar::setContentOpacity(double, std::optional<StateAnimation>) {}

}  // namespace corvanta
