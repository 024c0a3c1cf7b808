// The horizontally scrolling row of category tabs.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class CategoryTabsView final : public QWidget {
    Q_OBJECT
public:
    CategoryTabsView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
