// The footer: key hints, the feedback button and the brand.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class FooterView final : public QWidget {
    Q_OBJECT
public:
    FooterView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
