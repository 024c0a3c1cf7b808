// Drag strip of the panel; see DragHandleView.h.
#include "shell/DragHandleView.h"

#include <QMouseEvent>

#include "platform/qt/PanelWindow.h"

namespace corvanta {

DragHandleView::DragHandleView(platform::PanelWindow* panel, QWidget* parent)
    : QWidget(parent), panel_(panel) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

void DragHandleView::setAllowsDragging(bool allows) {
    allowsDragging_ = allows;
    if (!allows)
        manualDrag_.reset();
    // Not taking part in hit testing lets the press reach the view underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents, !allows);
}

void DragHandleView::mousePressEvent(QMouseEvent* event) {
    if (allowsDragging_ && panel_ && event->button() == Qt::LeftButton) {
        if (!panel_->startSystemMove() && panel_->isMovable()) {
            manualDrag_ = ManualDrag{event->globalPosition(), panel_->frame().origin};
        }
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void DragHandleView::mouseMoveEvent(QMouseEvent* event) {
    if (!manualDrag_ || !panel_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF delta = event->globalPosition() - manualDrag_->pressGlobal;
    platform::Rect frame = panel_->frame();
    // Screen coordinates grow downwards, frames upwards.
    frame.origin = {manualDrag_->startOrigin.x + delta.x(), manualDrag_->startOrigin.y - delta.y()};
    panel_->setFrame(frame);
    event->accept();
}

void DragHandleView::mouseReleaseEvent(QMouseEvent* event) {
    if (manualDrag_ && event->button() == Qt::LeftButton) {
        manualDrag_.reset();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace corvanta
