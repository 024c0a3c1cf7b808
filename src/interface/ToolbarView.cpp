// See ToolbarView.h.
#include "interface/ToolbarView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

ToolbarView::ToolbarView(CorvantaView& root, QWidget* parent) : QWidget(parent), root_(root) {}

void ToolbarView::render(const RenderContext&) {}

}  // namespace corvanta
