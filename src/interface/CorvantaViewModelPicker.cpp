// The interface model's pack-picker operations: matching the picker query, cutting
// sections into rows of tiles, and the tiles' actions.
#include <QPointer>

#include "catalog/ShortcutStore.h"
#include "interface/CorvantaViewModel.h"
#include "interface/PickerMatching.h"
#include "interface/SoftwarePickerEntry.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

std::vector<SoftwareGroupSection> CorvantaViewModel::filteredSoftwarePickerSections() const {
    if (picker::queryTokens(state_.softwarePickerQuery).empty())
        return store_.groupedSoftwareCache();
    std::vector<SoftwareGroupSection> out;
    for (const PickerSection& section :
         picker::filterSections(store_.groupedSoftwareCache(), state_.softwarePickerQuery)) {
        SoftwareGroupSection copy{section.group, {}};
        for (const SoftwarePack* pack : section.software) copy.software.push_back(pack);
        out.push_back(std::move(copy));
    }
    return out;
}

bool CorvantaViewModel::softwareMatchesPickerQuery(const SoftwarePack& software) const {
    return picker::matches(software, state_.softwarePickerQuery);
}

int CorvantaViewModel::softwarePickerMatchCount() const {
    return picker::matchCount(
        picker::filterSections(store_.groupedSoftwareCache(), state_.softwarePickerQuery));
}

std::vector<std::vector<SoftwarePickerEntry>> CorvantaViewModel::softwarePickerRows(
    const SoftwareGroupSection& section, bool includesAddButton) const {
    std::vector<const SoftwarePack*> packs;
    packs.reserve(section.software.size());
    for (const SoftwarePack* pack : section.software) packs.push_back(pack);
    return picker::rows(section.group, packs, includesAddButton);
}

void CorvantaViewModel::toggleSoftwarePicker() {
    const bool target = !state_.softwarePickerChevronExpanded;
    setSoftwarePickerChevronExpanded(target);
    QPointer<CorvantaViewModel> self(this);
    platform::MainQueue::shared().post([self, target] {
        if (!self)
            return;
        // An opening that meets a collapsed or moving panel is dropped, and
        // the chevron turns back.
        if (target && !self->acceptsOverlays()) {
            self->setSoftwarePickerChevronExpanded(false);
            return;
        }
        self->set(&CorvantaViewState::showsSoftwarePicker, target);
    });
}

void CorvantaViewModel::setSoftwarePickerChevronExpanded(bool expanded) {
    set(&CorvantaViewState::softwarePickerChevronExpanded, expanded);
}

void CorvantaViewModel::activateSoftwarePickerSearch() {
    set(&CorvantaViewState::softwarePickerSearchIsActive, true);
}

void CorvantaViewModel::clearSoftwarePickerSearch() {
    update([](CorvantaViewState& s) {
        s.softwarePickerQuery.clear();
        s.softwarePickerSearchIsFocused = true;
    });
}

void CorvantaViewModel::softwarePickerDidClose() {
    const CorvantaViewState& s = state_;
    if (!s.softwarePickerSearchIsFocused && !s.softwarePickerSearchIsActive &&
        s.softwarePickerQuery.empty() && !s.showsSoftwarePicker && !s.softwarePickerChevronExpanded)
        return;
    update([](CorvantaViewState& state) {
        state.softwarePickerSearchIsFocused = false;
        state.softwarePickerSearchIsActive = false;
        state.softwarePickerQuery.clear();
        state.showsSoftwarePicker = false;
        state.softwarePickerChevronExpanded = false;
    });
}

void CorvantaViewModel::selectSoftwareFromPicker(const SoftwarePack& software) {
    const std::string id = software.id;
    softwarePickerDidClose();
    store_.selectSoftware(id);
}

void CorvantaViewModel::presentSoftwareRequest(SoftwareGroup group) {
    update([group](CorvantaViewState& state) {
        state.softwareRequestGroup = group;
        state.requestedSoftwareName.clear();
        state.requestContact.clear();
        state.requestNameIsFocused = false;
        state.softwareRequestFailed = false;
        state.showsSoftwarePicker = false;
        state.softwarePickerChevronExpanded = false;
    });
    QPointer<CorvantaViewModel> self(this);
    platform::MainQueue::shared().post([self] {
        // The panel may have collapsed or started a transition meanwhile; a
        // sheet must not open over a panel that is going away.
        if (self && self->acceptsOverlays())
            self->set(&CorvantaViewState::showsSoftwareRequest, true);
    });
}

}  // namespace corvanta
