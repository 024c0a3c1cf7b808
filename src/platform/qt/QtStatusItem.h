// StatusItem on QSystemTrayIcon; the click is the tray's Trigger activation.
#pragma once

#include <QObject>
#include <memory>

#include "platform/qt/StatusItem.h"

class QSystemTrayIcon;

namespace corvanta::platform {

class QtStatusItem final : public QObject, public StatusItem {
    Q_OBJECT
public:
    QtStatusItem();
    ~QtStatusItem() override;

    void setImage(const QIcon& icon, bool isTemplate) override;
    void setToolTip(const QString& toolTip) override;
    void setAccessibilityLabel(const QString& label) override;
    void show() override;
    bool isAvailable() const override;

    QString toolTip() const;
    QString accessibilityLabel() const { return accessibilityLabel_; }
    // The tray icon itself, for tests that simulate an activation.
    QSystemTrayIcon* trayIcon() const { return tray_.get(); }

private:
    std::unique_ptr<QSystemTrayIcon> tray_;
    QString accessibilityLabel_;
};

}  // namespace corvanta::platform
