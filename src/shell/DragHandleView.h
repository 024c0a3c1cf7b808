// A transparent strip that moves the panel when pressed. While dragging is not
// allowed (the panel is pinned) clicks pass through it to the view below.
#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

#include "platform/foundation/Geometry.h"

namespace corvanta {

namespace platform {
class PanelWindow;
}

class DragHandleView final : public QWidget {
    Q_OBJECT
public:
    // `panel` is the window to move; without one a press does nothing.
    explicit DragHandleView(platform::PanelWindow* panel, QWidget* parent = nullptr);

    bool allowsDragging() const { return allowsDragging_; }
    void setAllowsDragging(bool allows);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A move we follow ourselves, where no window manager takes it over.
    struct ManualDrag {
        QPointF pressGlobal;
        platform::Point startOrigin;
    };

    platform::PanelWindow* panel_;
    bool allowsDragging_ = true;
    std::optional<ManualDrag> manualDrag_;
};

}  // namespace corvanta
