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
    // Not taking part in hit testing lets the press reach the view underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents, !allows);
}

void DragHandleView::mousePressEvent(QMouseEvent* event) {
    if (allowsDragging_ && panel_ && event->button() == Qt::LeftButton) {
        panel_->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace corvanta
