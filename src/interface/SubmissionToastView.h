// The submission toast: a checkmark and a short confirmation in a capsule that
// slides in at the panel's bottom centre and slides out again. A screen reader
// hears it as a notification once the focus has come back to the panel, so
// that the focus move does not cut it off.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include "interface/RenderContext.h"

class QAccessibleInterface;
class QVariantAnimation;

namespace corvanta {

class SubmissionToastView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kHeight = 32;
    // Distance of the toast's bottom edge from the root view's bottom edge.
    static constexpr double kExpandedBottomOffset = 47;
    static constexpr double kCollapsedBottomOffset = 10;

    // `parent` is the panel's root view: the toast rests at its bottom centre.
    explicit SubmissionToastView(QWidget* parent);
    ~SubmissionToastView() override;
    // Slides the toast in or out as the state says and keeps it placed.
    void render(const RenderContext& context);

    // Where the toast rests while shown, in the root view's coordinates.
    QRect restingGeometry() const { return resting_; }
    // True while the toast is meant to be on screen (it may still be sliding in).
    bool isPresented() const { return presented_; }
    const QString& text() const { return text_; }
    // Jumps to the end of a running slide (tests and screenshots).
    void finishSlide();
    // The notification assistive technology is told of, a child of the
    // toast's own object; "shown" once announced, until the toast goes.
    QAccessibleInterface* notificationAccessible() const;
    bool isAnnounced() const { return announced_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Waits for the panel's window to hold the focus again (or gives up
    // waiting), then announces the toast.
    void announceWhenSettled(unsigned presentation, double waited);
    void setAnnounced(bool announced);
    void slideTo(int y, double seconds, bool easeOut);
    void placeAt(int y);

    QVariantAnimation* slide_ = nullptr;
    bool presented_ = false;
    bool announced_ = false;
    unsigned presentation_ = 0;
    unsigned notificationID_ = 0;
    QRect resting_;
    QString text_;
    QColor fill_;
    QColor stroke_;
    QColor foreground_;
};

}  // namespace corvanta
