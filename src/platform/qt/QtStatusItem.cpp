// The tray icon. Where the platform has no tray the item keeps its settings and
// shows nothing until one appears; the application runs on.
#include "platform/qt/QtStatusItem.h"

#include <QSystemTrayIcon>

namespace corvanta::platform {

std::unique_ptr<StatusItem> StatusItem::create() {
    return std::make_unique<QtStatusItem>();
}

QtStatusItem::QtStatusItem() : tray_(std::make_unique<QSystemTrayIcon>()) {
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Trigger is the primary-button click; context and middle
                // clicks and double clicks are not ours.
                if (reason == QSystemTrayIcon::Trigger && onClick)
                    onClick();
            });
}

QtStatusItem::~QtStatusItem() = default;

void QtStatusItem::setImage(const QIcon& icon, bool isTemplate) {
    QIcon copy = icon;
    copy.setIsMask(isTemplate);
    tray_->setIcon(copy);
}

void QtStatusItem::setToolTip(const QString& toolTip) {
    tray_->setToolTip(toolTip);
}

QString QtStatusItem::toolTip() const {
    return tray_->toolTip();
}

// Tray protocols carry no separate accessible name; screen readers read the
// tool tip, so the label is kept for the day the platform offers one.
void QtStatusItem::setAccessibilityLabel(const QString& label) {
    accessibilityLabel_ = label;
}

// Shown even while no tray is running: Qt docks the icon as soon as a tray
// appears (a desktop often starts its panel after its autostart programs) and
// again after the tray restarts.
void QtStatusItem::show() {
    tray_->show();
}

bool QtStatusItem::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace corvanta::platform
