// See SubmissionSheet.h.
#include "interface/SubmissionSheet.h"

#include "interface/CorvantaView.h"

namespace corvanta {

SubmissionSheet::SubmissionSheet(CorvantaView& root, Kind kind)
    : QWidget(&root, Qt::Dialog | Qt::FramelessWindowHint), root_(root), kind_(kind) {
    hide();
}

void SubmissionSheet::render(const RenderContext&) {}

}  // namespace corvanta
