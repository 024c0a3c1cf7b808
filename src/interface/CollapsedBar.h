// The collapsed bar: grip, logo, pack name and caption, expand and close buttons.
#pragma once

#include <optional>

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class CollapsedBar final : public QWidget {
    Q_OBJECT
public:
    CollapsedBar(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);
    // Fades the row (not the plate) to `opacity`, or sets it at once.
    void setContentOpacity(double opacity, std::optional<StateAnimation> animation);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
