// A transparent strip that moves the panel when pressed. While dragging is not
// allowed (the panel is pinned) clicks pass through it to the view below.
#pragma once

#include <QWidget>

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

private:
    platform::PanelWindow* panel_;
    bool allowsDragging_ = true;
};

}  // namespace corvanta
