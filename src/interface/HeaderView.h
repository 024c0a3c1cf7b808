// The expanded panel's header: grip, pack button, theme, pin, language, expand and close.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class HeaderView final : public QWidget {
    Q_OBJECT
public:
    HeaderView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
