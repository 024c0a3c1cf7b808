// The submission toast that slides in at the panel's bottom.
#pragma once

#include <QWidget>

#include "interface/RenderContext.h"

namespace corvanta {

class CorvantaView;

class SubmissionToastView final : public QWidget {
    Q_OBJECT
public:
    SubmissionToastView(CorvantaView& root, QWidget* parent);
    // Brings the area in line with the store and the root view's state.
    void render(const RenderContext& context);

private:
    CorvantaView& root_;
};

}  // namespace corvanta
