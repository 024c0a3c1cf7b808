// The pack picker's search box: a search field that takes the keyboard one
// turn after it appears and gives the focus up when the user clicks elsewhere
// in its window.
#pragma once

#include "interface/SearchLineEdit.h"
#include "platform/qt/EventMonitors.h"

namespace corvanta {

class PickerSearchField final : public SearchLineEdit {
    Q_OBJECT
public:
    // How far around the field a click still counts as a click on it, in points.
    static constexpr double kOutsideMarginX = 36;
    static constexpr double kOutsideMarginY = 8;

    explicit PickerSearchField(QWidget* parent = nullptr);
    ~PickerSearchField() override;

    bool hasOutsideClickMonitor() const { return monitor_ != 0; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void monitorOutsideClicks();
    void stopMonitoringOutsideClicks();

    platform::EventMonitors::Token monitor_ = 0;
};

}  // namespace corvanta
