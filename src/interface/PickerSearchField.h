// The pack picker's search box: a plain one-line field that takes the keyboard
// one turn after it appears, reports focus gained and lost, and gives the
// focus up when the user clicks elsewhere in its window.
#pragma once

#include <functional>
#include <string>

#include <QLineEdit>

#include "platform/qt/EventMonitors.h"

namespace corvanta {

class PickerSearchField final : public QLineEdit {
    Q_OBJECT
public:
    // How far around the field a click still counts as a click on it, in points.
    static constexpr double kOutsideMarginX = 36;
    static constexpr double kOutsideMarginY = 8;

    explicit PickerSearchField(QWidget* parent = nullptr);
    ~PickerSearchField() override;

    // Told the new text on every edit by the user.
    std::function<void(const std::string&)> onTextChange;
    // Told true when editing begins, false when it ends or an outside click
    // takes the focus away.
    std::function<void(bool)> onFocusChange;

    // Brings text, placeholder and colours in line. The text is written only
    // when it differs, and never while an input method is composing, so the
    // caret and selection survive typing.
    void refresh(const std::string& text, const QString& placeholder, bool isLight);
    bool hasOutsideClickMonitor() const { return monitor_ != 0; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void monitorOutsideClicks();
    void stopMonitoringOutsideClicks();
    void reportFocus(bool focused);

    platform::EventMonitors::Token monitor_ = 0;
    bool composing_ = false;
};

}  // namespace corvanta
