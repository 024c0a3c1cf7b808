// The result bar: what the list shows and how many items.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class ResultBarView final : public QWidget {
    Q_OBJECT
public:
    ResultBarView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
