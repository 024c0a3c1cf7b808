// See SoftwarePickerPopover.h.
#include "interface/SoftwarePickerPopover.h"

#include "interface/CorvantaView.h"

namespace corvanta {

SoftwarePickerPopover::SoftwarePickerPopover(CorvantaView& root)
    : QWidget(&root, Qt::Popup | Qt::FramelessWindowHint), root_(root) {}

void SoftwarePickerPopover::render(const RenderContext&) {}

}  // namespace corvanta
