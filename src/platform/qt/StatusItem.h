// The status-bar item: one icon in the system tray with a tool tip and a click
// action, no menu. Where no tray exists it keeps its settings and stays hidden.
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>

namespace corvanta::platform {

class StatusItem {
public:
    StatusItem() = default;
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;
    virtual ~StatusItem() = default;

    // A template image is a monochrome mask the tray may recolour.
    virtual void setImage(const QIcon& icon, bool isTemplate) = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    virtual void setAccessibilityLabel(const QString& label) = 0;
    // Puts the item in the tray (when there is one).
    virtual void show() = 0;
    // Whether the platform offers a tray at all.
    virtual bool isAvailable() const = 0;

    // Run on a left-button click; other buttons and menus do nothing.
    std::function<void()> onClick;

    // A QSystemTrayIcon-backed item.
    static std::unique_ptr<StatusItem> create();
};

}  // namespace corvanta::platform
