// The toolbar: search field, All/Favorites filter and the platform badge.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class ToolbarView final : public QWidget {
    Q_OBJECT
public:
    ToolbarView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
