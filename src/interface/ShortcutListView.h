// The shortcut list: painted, virtualised sections with pinned headers, and the empty states.
#pragma once

#include <QAbstractScrollArea>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class ShortcutListView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    ShortcutListView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
