// Resize strip of the panel; see ResizeHandleView.h.
#include "shell/ResizeHandleView.h"

#include <QMouseEvent>

#include "platform/qt/PanelWindow.h"
#include "platform/qt/QtScreens.h"
#include "platform/qt/Screens.h"

namespace corvanta {

namespace {

platform::Point screenPointYUp(const QPointF& global) {
    const platform::Rect yDown{{global.x(), global.y()}, {0, 0}};
    return platform::yUpFromYDown(yDown, platform::QtScreens::primaryGeometry()).origin;
}

}  // namespace

ResizeHandleView::ResizeHandleView(ResizeEdges edges, platform::PanelWindow* panel,
                                   platform::Screens& screens, QWidget* parent)
    : QWidget(parent), edges_(edges), panel_(panel), screens_(screens) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    // Corners show the left-right cursor too.
    const bool horizontal = edges.contains(ResizeEdges::left) || edges.contains(ResizeEdges::right);
    setCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
}

void ResizeHandleView::beginResize(platform::Point mouse) {
    if (!panel_)
        return;
    initialFrame_ = panel_->frame();
    initialMouseLocation_ = mouse;
    if (onResizeBegan)
        onResizeBegan();
}

void ResizeHandleView::continueResize(platform::Point mouse) {
    if (!panel_)
        return;
    std::optional<platform::Rect> bounds;
    if (const auto screen = panel_->screen()) {
        bounds = screen->visibleFrame;
    } else if (const auto main = screens_.mainScreen()) {
        bounds = main->visibleFrame;
    }
    panel_->setFrame(resizedFrame(edges_, initialFrame_, initialMouseLocation_, mouse, bounds,
                                  panel_->minSize(), panel_->maxSize()));
}

void ResizeHandleView::endResize() {
    if (!panel_)
        return;
    if (onResizeEnded)
        onResizeEnded(panel_->frame().size);
}

void ResizeHandleView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    beginResize(screenPointYUp(event->globalPosition()));
    event->accept();
}

void ResizeHandleView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    continueResize(screenPointYUp(event->globalPosition()));
    event->accept();
}

void ResizeHandleView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    endResize();
    event->accept();
}

}  // namespace corvanta
