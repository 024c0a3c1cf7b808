// A StatusItem for tests: remembers what was set; click() acts as a user click.
#pragma once

#include "platform/qt/StatusItem.h"

namespace corvanta::platform {

class FakeStatusItem final : public StatusItem {
public:
    void setImage(const QIcon& icon, bool isTemplate) override {
        icon_ = icon;
        isTemplate_ = isTemplate;
    }
    void setToolTip(const QString& toolTip) override { toolTip_ = toolTip; }
    void setAccessibilityLabel(const QString& label) override { label_ = label; }
    void show() override { shown_ = true; }
    bool isAvailable() const override { return available_; }

    void click() {
        if (onClick)
            onClick();
    }
    void setAvailable(bool available) { available_ = available; }
    const QIcon& icon() const { return icon_; }
    bool isTemplate() const { return isTemplate_; }
    const QString& toolTip() const { return toolTip_; }
    const QString& accessibilityLabel() const { return label_; }
    bool isShown() const { return shown_; }

private:
    QIcon icon_;
    QString toolTip_;
    QString label_;
    bool isTemplate_ = false;
    bool available_ = true;
    bool shown_ = false;
};

}  // namespace corvanta::platform
