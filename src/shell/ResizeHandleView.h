// A transparent strip on one edge or corner of the expanded panel that resizes
// the window from there, the opposite edges staying put.
#pragma once

#include <QWidget>
#include <functional>

#include "platform/foundation/Geometry.h"
#include "shell/ResizeEdges.h"

namespace corvanta {

namespace platform {
class PanelWindow;
class Screens;
}  // namespace platform

class ResizeHandleView final : public QWidget {
    Q_OBJECT
public:
    ResizeHandleView(ResizeEdges edges, platform::PanelWindow* panel, platform::Screens& screens,
                     QWidget* parent = nullptr);

    ResizeEdges edges() const { return edges_; }

    // Bracket a resize gesture; the end reports the window's final size.
    std::function<void()> onResizeBegan;
    std::function<void(platform::Size)> onResizeEnded;

    // The gesture with the mouse in y-up screen coordinates; the mouse handlers
    // convert and call these.
    void beginResize(platform::Point mouse);
    void continueResize(platform::Point mouse);
    void endResize();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ResizeEdges edges_;
    platform::PanelWindow* panel_;
    platform::Screens& screens_;
    platform::Rect initialFrame_;
    platform::Point initialMouseLocation_;
};

}  // namespace corvanta
