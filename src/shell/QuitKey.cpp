// See QuitKey.h.
#include "shell/QuitKey.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace corvanta {

QuitKey::QuitKey(std::function<void()> quit)
    : quit_(std::move(quit)), keys_(QKeySequence::keyBindings(QKeySequence::Quit)) {
    // A keyboard scheme without a standard Quit key (Windows') still quits on
    // the key the panel's users know.
    if (keys_.isEmpty())
        keys_.append(QKeySequence(Qt::CTRL | Qt::Key_Q));
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

QuitKey::~QuitKey() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool QuitKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    if (!watched->isWidgetType() && !watched->isWindowType())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (!keys_.contains(QKeySequence(QKeyCombination(modifiers, Qt::Key(key->key())))))
        return false;
    quit_();
    return true;
}

}  // namespace corvanta
