// See PickerSearchField.h.
#include "interface/PickerSearchField.h"

#include <QPointer>

#include "platform/qt/MainQueue.h"

namespace corvanta {

PickerSearchField::PickerSearchField(QWidget* parent)
    : SearchLineEdit(style::TextRole::pickerSearch, parent) {
    setObjectName(QStringLiteral("corvanta.software-picker.search"));
    monitorOutsideClicks();
}

PickerSearchField::~PickerSearchField() {
    stopMonitoringOutsideClicks();
}

void PickerSearchField::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    QPointer<PickerSearchField> self(this);
    platform::MainQueue::shared().post([self] {
        if (!self || !self->isVisible())
            return;
        self->window()->activateWindow();
        self->setFocus(Qt::OtherFocusReason);
        // Only a field that really took the keyboard selects its text.
        if (self->hasFocus())
            self->selectFullText();
    });
}

void PickerSearchField::monitorOutsideClicks() {
    stopMonitoringOutsideClicks();
    QPointer<PickerSearchField> self(this);
    monitor_ = platform::EventMonitors::shared().addLocalMonitor(
        platform::EventMask::leftMouseDown, [self](const platform::Event& event) {
            if (!self || event.window != self->window())
                return true;
            QWidget* window = self->window();
            const QRectF field(self->mapTo(window, QPoint(0, 0)), QSizeF(self->size()));
            const QRectF grown = field.adjusted(-kOutsideMarginX, -kOutsideMarginY, kOutsideMarginX,
                                                kOutsideMarginY);
            // Monitor locations are y-up in the window.
            const QPointF location(event.locationInWindow.x,
                                   window->height() - event.locationInWindow.y);
            if (grown.contains(location))
                return true;
            platform::MainQueue::shared().post([self] {
                if (!self)
                    return;
                if (self->window() && self->hasFocus())
                    self->clearFocus();
                self->reportFocus(false);
            });
            return true;
        });
}

void PickerSearchField::stopMonitoringOutsideClicks() {
    if (monitor_ == 0)
        return;
    platform::EventMonitors::shared().removeMonitor(monitor_);
    monitor_ = 0;
}

}  // namespace corvanta
