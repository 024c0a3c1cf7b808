// The pack picker grid's items as assistive technology reads them: group
// titles, pack tiles and request tiles in content order; see
// SoftwarePickerGrid.h.
#include <QAccessible>

#include "catalog/SoftwarePack.h"
#include "interface/SmallControls.h"
#include "interface/SoftwarePickerAccessible.h"
#include "interface/SoftwarePickerGrid.h"

namespace corvanta {

void SoftwarePickerGrid::installAccessibility() {
    installSoftwarePickerAccessibility();
}

void SoftwarePickerGrid::rebuildAccessibleOrder() {
    std::vector<OrderEntry> order;
    std::vector<QString> names;
    std::size_t tile = 0;
    for (std::size_t h = 0; h < headers_.size(); ++h) {
        order.push_back({true, h});
        names.push_back(headers_[h].title);
        // A section's tiles lie above the next section's header.
        const double end = h + 1 < headers_.size() ? headers_[h + 1].rect.top() : 1e12;
        for (; tile < tiles_.size() && tiles_[tile].rect.top() < end; ++tile) {
            order.push_back({false, tile});
            names.push_back(tileAccessibleName(tiles_[tile]));
        }
    }
    accessibleOrder_ = std::move(order);
    // Items that read the same keep their interfaces, so a theme change or a
    // render that changed nothing leaves a screen reader where it was.
    if (names == accessibleNames_)
        return;
    accessibleNames_ = std::move(names);
    for (const auto& [index, id] : accessibleIDs_) QAccessible::deleteAccessibleInterface(id);
    accessibleIDs_.clear();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

SoftwarePickerGrid::AccessibleItem SoftwarePickerGrid::accessibleItem(int index) const {
    AccessibleItem item;
    if (index < 0 || index >= accessibleItemCount())
        return item;
    const OrderEntry& entry = accessibleOrder_[static_cast<std::size_t>(index)];
    item.name = accessibleNames_[static_cast<std::size_t>(index)];
    const double top = offset();
    if (entry.header) {
        item.rect = headers_[entry.index].rect.translated(0, -top);
        return item;
    }
    const Tile& tile = tiles_[entry.index];
    item.rect = tile.rect.translated(0, -top);
    if (!tile.pack) {
        item.kind = AccessibleItem::Kind::request;
        item.button = requestTiles_.at(tile.group);
        return item;
    }
    item.kind = AccessibleItem::Kind::pack;
    item.selected = tile.pack->id == selectedSoftwareID_;
    return item;
}

void SoftwarePickerGrid::pressAccessibleItem(int index) {
    if (index < 0 || index >= accessibleItemCount())
        return;
    const OrderEntry& entry = accessibleOrder_[static_cast<std::size_t>(index)];
    if (entry.header)
        return;
    const Tile& tile = tiles_[entry.index];
    if (tile.pack && onChooseSoftware)
        onChooseSoftware(*tile.pack);
    else if (!tile.pack)
        requestTiles_.at(tile.group)->click();
}

QAccessibleInterface* SoftwarePickerGrid::paintedItemAccessible(int index) const {
    const AccessibleItem item = accessibleItem(index);
    if (index < 0 || index >= accessibleItemCount() || item.button)
        return nullptr;
    auto it = accessibleIDs_.find(index);
    if (it == accessibleIDs_.end()) {
        auto* self = const_cast<SoftwarePickerGrid*>(this);
        const unsigned id =
            QAccessible::registerAccessibleInterface(makePickerItemAccessible(self, index));
        it = accessibleIDs_.emplace(index, id).first;
    }
    return QAccessible::accessibleInterface(it->second);
}

}  // namespace corvanta
