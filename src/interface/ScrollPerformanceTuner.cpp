// See ScrollPerformanceTuner.h.
#include "interface/ScrollPerformanceTuner.h"

#include <cstdlib>

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include "interface/OverlayScrollBar.h"

namespace corvanta {

ScrollPerformanceTuner::ScrollPerformanceTuner(QObject* parent) : QObject(parent) {}

bool ScrollPerformanceTuner::configure(QAbstractScrollArea& area) {
    if (configured_ == &area)
        return false;
    if (configured_ && configured_->viewport())
        configured_->viewport()->removeEventFilter(this);
    configured_ = &area;

    // The panel paints the content colour behind the list.
    area.setFrameShape(QFrame::NoFrame);
    area.setAutoFillBackground(false);
    area.viewport()->setAutoFillBackground(false);
    area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area.verticalScrollBar()->setSingleStep(kWheelStep);
    // An overlay scroller: shown while scrolling, drawn over the content.
    overlay_ = new OverlayScrollBar(area);
    area.viewport()->installEventFilter(this);
    return true;
}

OverlayScrollBar* ScrollPerformanceTuner::overlayScrollBar() const {
    return overlay_.data();
}

bool ScrollPerformanceTuner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && configured_ && watched == configured_->viewport())
        return scrollVertically(static_cast<QWheelEvent&>(*event));
    return QObject::eventFilter(watched, event);
}

bool ScrollPerformanceTuner::scrollVertically(QWheelEvent& event) {
    // Only the predominant axis counts: a mostly sideways swipe scrolls
    // nothing, a slanted one scrolls by its vertical part alone.
    const QPoint pixels = event.pixelDelta();
    const QPoint angle = event.angleDelta();
    const bool usePixels = !pixels.isNull();
    const QPoint delta = usePixels ? pixels : angle;
    if (std::abs(delta.x()) > std::abs(delta.y()) || delta.y() == 0) {
        event.accept();
        return true;
    }
    QScrollBar* bar = configured_->verticalScrollBar();
    // A notch is 120 eighths of a degree; trackpads report pixels directly.
    const int step = usePixels ? delta.y() : delta.y() * kWheelStep / 120;
    const int before = bar->value();
    bar->setValue(before - step);
    // At either end the wheel goes on to the parent, as a scroll view's does.
    if (bar->value() == before) {
        event.ignore();
        return false;
    }
    event.accept();
    return true;
}

}  // namespace corvanta
