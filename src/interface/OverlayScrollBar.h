// A thin scroll bar drawn over the right edge of a scroll area's content, as
// overlay scrollers are: only a rounded thumb, shown while the content moves or
// the pointer is on it, hidden again shortly after. It mirrors the area's own
// (hidden) vertical scroll bar, which keeps doing the scrolling.
#pragma once

#include <QColor>
#include <QPointer>
#include <QScrollBar>

#include "platform/qt/TaskHandle.h"

class QAbstractScrollArea;

namespace corvanta {

class OverlayScrollBar final : public QScrollBar {
    Q_OBJECT
public:
    static constexpr int kWidth = 10;
    // How long the thumb stays after the last movement.
    static constexpr double kLingerSeconds = 0.8;

    // Hides `area`'s own vertical bar and lays this one over its viewport.
    explicit OverlayScrollBar(QAbstractScrollArea& area);
    ~OverlayScrollBar() override;

    void setThumbColor(const QColor& color);
    // True while the thumb is drawn.
    bool isThumbShown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void sliderChange(SliderChange change) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void passMouseThrough(bool through);
    void place();
    void reveal();
    void scheduleHide();

    // Kept from construction: while the area is being destroyed it is no
    // longer a scroll area, and its viewport can only be compared with, not
    // asked for.
    QPointer<QWidget> viewport_;
    QPointer<QScrollBar> model_;
    QColor thumbColor_;
    bool shown_ = false;
    bool hovered_ = false;
    platform::TaskHandle hideTask_;
};

}  // namespace corvanta
