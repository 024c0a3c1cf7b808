// See ResultBarView.h.
#include "interface/ResultBarView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

ResultBarView::ResultBarView(CorvantaView& root, QWidget* parent) : QWidget(parent), root_(root) {}

void ResultBarView::render(const RenderContext&) {}

}  // namespace corvanta
