// The root view's pack-picker operations: matching the picker query, cutting
// sections into rows of tiles, and the tiles' actions.
#include "catalog/ShortcutStore.h"
#include "interface/CorvantaView.h"
#include "interface/SoftwarePickerEntry.h"

namespace corvanta {

std::vector<SoftwareGroupSection> CorvantaView::filteredSoftwarePickerSections() const {
    return store_.groupedSoftwareCache();
}

bool CorvantaView::softwareMatchesPickerQuery(const SoftwarePack&) const {
    return true;
}

int CorvantaView::softwarePickerMatchCount() const {
    return 0;
}

std::vector<std::vector<SoftwarePickerEntry>> CorvantaView::softwarePickerRows(
    const SoftwareGroupSection&, bool) const {
    return {};
}

void CorvantaView::selectSoftwareFromPicker(const SoftwarePack&) {}

void CorvantaView::presentSoftwareRequest(SoftwareGroup) {}

}  // namespace corvanta
