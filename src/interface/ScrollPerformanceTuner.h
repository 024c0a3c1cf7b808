// Sets up a scroll area for a painted list, once per scroll area: no background
// of its own, no horizontal scroll bar, wheel input locked to the vertical axis
// and scrolled in pixels.
#pragma once

#include <QObject>
#include <QPointer>

class QAbstractScrollArea;
class QWheelEvent;

namespace corvanta {

class OverlayScrollBar;

class ScrollPerformanceTuner final : public QObject {
    Q_OBJECT
public:
    // Scroll distance of one wheel notch, in points (about one row).
    static constexpr int kWheelStep = 42;

    explicit ScrollPerformanceTuner(QObject* parent = nullptr);

    // Configures `area` unless it is the one configured last; false when
    // nothing was done. A configured area is never restored.
    bool configure(QAbstractScrollArea& area);
    QAbstractScrollArea* configuredScrollArea() const { return configured_.data(); }
    // The overlay scroller laid over the configured area.
    OverlayScrollBar* overlayScrollBar() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool scrollVertically(QWheelEvent& event);

    QPointer<QAbstractScrollArea> configured_;
    QPointer<OverlayScrollBar> overlay_;
};

}  // namespace corvanta
