// One application event filter turns our windows' key and left-button presses
// into monitor events, once per user action.
#include "platform/qt/QtEventMonitors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace corvanta::platform {
namespace {

// The top-level widget a receiver belongs to; null for windows that are not
// widget windows of this application.
QWidget* topLevelFor(QObject* receiver) {
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return widget->window();
    if (auto* window = qobject_cast<QWindow*>(receiver)) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window)
                return top;
    }
    return nullptr;
}

bool isLeftPress(const QEvent* event) {
    const auto type = event->type();
    return (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

// Pressing a modifier alone is a flags change in the macOS event model, not
// a key-down.
bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
            return true;
        default:
            return false;
    }
}

}  // namespace

QtEventMonitors::QtEventMonitors() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

QtEventMonitors::~QtEventMonitors() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

// Qt hands one user event to a widget window and then to widgets, and passes
// ignored events on to parent widgets, each time through the application's
// filters. Only the first sight of an event is offered to the monitors. An
// event's address alone cannot tell a delivery's next step from a new event:
// events built on the stack, one after another, share it. A step is the same
// event going strictly up (window to widget, widget to parent), and a key's
// shortcut override or release, which come before and after every new
// press, ends the delivery it belongs to.
bool QtEventMonitors::isRepeatDelivery(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(receiver);
        QObject* last = lastKeyReceiver_;
        bool repeat = false;
        if (widget && event == lastKeyEvent_ && last && last != receiver) {
            if (auto* lastWindow = qobject_cast<QWindow*>(last))
                repeat = widget->window()->windowHandle() == lastWindow;
            else if (auto* lastWidget = qobject_cast<QWidget*>(last))
                repeat = widget->isAncestorOf(lastWidget);
        }
        lastKeyEvent_ = event;
        lastKeyReceiver_ = receiver;
        return repeat;
    }
    // Widget windows translate mouse events into copies for the widget and its
    // parents; the copies keep the time stamp and the global position.
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    const auto timestamp = static_cast<qint64>(mouse->timestamp());
    const bool repeat = havePress_ && timestamp == lastPressTimestamp_ &&
                        mouse->globalPosition() == lastPressGlobal_;
    havePress_ = true;
    lastPressTimestamp_ = timestamp;
    lastPressGlobal_ = mouse->globalPosition();
    return repeat;
}

bool QtEventMonitors::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease) {
        lastKeyEvent_ = nullptr;
        lastKeyReceiver_ = nullptr;
        return false;
    }
    const bool key = event->type() == QEvent::KeyPress &&
                     !isModifierKey(static_cast<const QKeyEvent*>(event)->key());
    if (!key && !isLeftPress(event))
        return false;
    if (!watched->isWidgetType() && !watched->isWindowType())
        return false;
    QWidget* window = topLevelFor(watched);
    if (!window)
        return false;
    if (isRepeatDelivery(watched, event))
        return false;

    Event e;
    if (key) {
        const auto* keyEvent = static_cast<const QKeyEvent*>(event);
        e.type = EventType::keyDown;
        e.qtKey = keyEvent->key();
        e.keyCode = keyCodeFromQtKey(keyEvent->key());
        e.modifiers = keyEvent->modifiers();
    } else {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        e.type = EventType::leftMouseDown;
        e.modifiers = mouse->modifiers();
        const QPointF local = window->mapFromGlobal(mouse->globalPosition());
        e.locationInWindow = Point{local.x(), window->height() - local.y()};
    }
    e.window = window;
    return !dispatch(e);
}

}  // namespace corvanta::platform
