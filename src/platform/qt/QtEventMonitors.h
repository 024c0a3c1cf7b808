// EventMonitors as one application-wide event filter. Each user event is offered
// once, when it first reaches our windows, before any widget handles it.
#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

#include "platform/qt/EventMonitors.h"

namespace corvanta::platform {

class QtEventMonitors final : public QObject, public EventMonitors {
    Q_OBJECT
public:
    // Installs the filter on the running QCoreApplication.
    QtEventMonitors();
    ~QtEventMonitors() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isRepeatDelivery(QObject* receiver, QEvent* event);

    // The last key event offered, to recognise its propagation to parents.
    const QEvent* lastKeyEvent_ = nullptr;
    QPointer<QObject> lastKeyReceiver_;
    // The last mouse press offered (translated copies share these).
    qint64 lastPressTimestamp_ = -1;
    QPointF lastPressGlobal_;
    bool havePress_ = false;
};

}  // namespace corvanta::platform
