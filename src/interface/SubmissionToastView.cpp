// See SubmissionToastView.h.
#include "interface/SubmissionToastView.h"

#include "interface/CorvantaView.h"

namespace corvanta {

SubmissionToastView::SubmissionToastView(CorvantaView& root, QWidget* parent)
    : QWidget(parent), root_(root) {}

void SubmissionToastView::render(const RenderContext&) {}

}  // namespace corvanta
