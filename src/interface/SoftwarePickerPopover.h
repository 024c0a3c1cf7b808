// The pack picker's popover: a popup window under the pack button holding the
// grouped, searchable grid of packs and request tiles.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class SoftwarePickerPopover final : public QWidget {
    Q_OBJECT
public:
    explicit SoftwarePickerPopover(CorvantaView& root);
    // Shows, fills or hides the popover as the state says.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
