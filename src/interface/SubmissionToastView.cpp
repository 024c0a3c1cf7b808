// See SubmissionToastView.h.
#include "interface/SubmissionToastView.h"

#include <cmath>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QVariantAnimation>

#include "catalog/ShortcutStore.h"
#include "interface/PaintedAccessible.h"
#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

namespace {

constexpr double kPadding = 12;
constexpr double kSpacing = 6;
constexpr double kRadius = 10;
constexpr double kSymbolSize = 10;
constexpr double kSlideInSeconds = 0.16;
constexpr double kSlideOutSeconds = 0.14;
constexpr const char* kSymbol = "checkmark";
// The focus comes back to the panel a moment after a sheet sends; a screen
// reader speaks a newly focused control at once, cutting off whatever it was
// saying, so the toast is announced after that, or at the latest after
// kAnnounceLatest when the panel does not get the focus back.
constexpr double kAnnounceEarliest = 0.15;
constexpr double kAnnounceLatest = 0.7;
constexpr double kAnnouncePoll = 0.05;

// The toast is a passing confirmation, an alert; its one child is the
// notification a screen reader speaks.
class ToastAccessible final : public QAccessibleWidget {
public:
    explicit ToastAccessible(SubmissionToastView* toast)
        : QAccessibleWidget(toast, QAccessible::AlertMessage), toast_(toast) {}
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? toast_->notificationAccessible() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child == this->child(0) ? 0 : -1;
    }

private:
    SubmissionToastView* toast_;
};

class NotificationAccessible final : public PaintedAccessible {
public:
    explicit NotificationAccessible(SubmissionToastView* toast)
        : PaintedAccessible(toast), toast_(toast) {}
    // Spoken, a dash between clauses is read out as "em dash": a comma makes
    // the same pause.
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !owner())
            return {};
        QString spoken = toast_->text();
        return spoken.replace(QStringLiteral(" \u2014 "), QStringLiteral(", "));
    }
    QRect rect() const override {
        return owner() ? QRect(toast_->mapToGlobal(QPoint()), toast_->size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !owner() || !toast_->isAnnounced();
        return state;
    }

private:
    SubmissionToastView* toast_;
};

QAccessibleInterface* toastAccessibleFactory(const QString&, QObject* object) {
    if (auto* toast = qobject_cast<SubmissionToastView*>(object))
        return new ToastAccessible(toast);
    return nullptr;
}

}  // namespace

SubmissionToastView::SubmissionToastView(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(toastAccessibleFactory);
    setAttribute(Qt::WA_TranslucentBackground);
    // A confirmation, not a control: clicks reach whatever lies under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    slide_ = new QVariantAnimation(this);
    connect(slide_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { placeAt(value.toInt()); });
    connect(slide_, &QVariantAnimation::finished, this, [this] {
        if (!presented_)
            hide();
    });
    parent->installEventFilter(this);
    hide();
}

SubmissionToastView::~SubmissionToastView() {
    if (notificationID_)
        QAccessible::deleteAccessibleInterface(notificationID_);
}

QAccessibleInterface* SubmissionToastView::notificationAccessible() const {
    if (!notificationID_) {
        auto* self = const_cast<SubmissionToastView*>(this);
        self->notificationID_ =
            QAccessible::registerAccessibleInterface(new NotificationAccessible(self));
    }
    return QAccessible::accessibleInterface(notificationID_);
}

void SubmissionToastView::setAnnounced(bool announced) {
    if (announced_ == announced)
        return;
    announced_ = announced;
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(notificationAccessible(),
                           announced ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
}

void SubmissionToastView::announceWhenSettled(unsigned presentation, double waited) {
    if (presentation != presentation_ || !presented_)
        return;
    const QWidget* panel = window();
    if (waited >= kAnnounceLatest || (waited >= kAnnounceEarliest && panel->isActiveWindow())) {
        setAnnounced(true);
        return;
    }
    QPointer<SubmissionToastView> self(this);
    platform::MainQueue::shared().postAfter(kAnnouncePoll, [self, presentation, waited] {
        if (self)
            self->announceWhenSettled(presentation, waited + kAnnouncePoll);
    });
}

bool SubmissionToastView::eventFilter(QObject* watched, QEvent* event) {
    // Whatever the panel shows goes with it, without a slide; a toast still
    // wanted when the panel is back slides in anew.
    if (watched == parentWidget() && event->type() == QEvent::Hide) {
        slide_->stop();
        presented_ = false;
        setAnnounced(false);
        hide();
    }
    return false;
}

void SubmissionToastView::render(const RenderContext& context) {
    const CorvantaViewState& state = context.state;
    const bool feedback = state.submissionToastKind == SubmissionToastKind::feedback;
    text_ = context.submissionToastText;
    setObjectName(feedback ? QStringLiteral("corvanta.feedback.toast")
                           : QStringLiteral("corvanta.software-request.toast"));
    if (accessibleName() != text_)
        setAccessibleName(text_);
    fill_ = context.colors.surfaceRaised;
    stroke_ = context.colors.border;
    foreground_ = context.colors.textPrimary;

    const bool wanted = state.showsSubmissionToast;
    // A toast that is not on show has nothing to measure; skipping it keeps
    // the toast's font out of the first frame's work.
    if (!wanted && !presented_ && !isVisible())
        return;

    const double symbolWidth = SymbolImage::size(kSymbol, kSymbolSize, style::Weight::bold).width();
    const int width = int(std::ceil(2 * kPadding + symbolWidth + kSpacing +
                                    style::face(style::TextRole::toast).width(text_)));
    const double offset =
        context.store.isExpanded.get() ? kExpandedBottomOffset : kCollapsedBottomOffset;
    const QWidget* area = parentWidget();
    resting_ = QRect((area->width() - width) / 2, int(area->height() - offset - kHeight), width,
                     int(kHeight));
    resize(resting_.size());
    update();

    // Off screen (the panel hidden) nothing slides: the toast is placed at once.
    const bool animate = parentWidget()->isVisible();
    if (wanted && !presented_) {
        presented_ = true;
        raise();
        show();
        // Nothing takes the focus to it, so a screen reader is told.
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
        setAnnounced(false);
        announceWhenSettled(++presentation_, 0);
        if (animate) {
            // A new slide starts from where the toast is now, or from below the edge.
            const int from = slide_->state() == QAbstractAnimation::Running ? y() : area->height();
            placeAt(from);
            slideTo(resting_.y(), kSlideInSeconds, true);
        } else {
            slide_->stop();
            placeAt(resting_.y());
        }
    } else if (!wanted && presented_) {
        presented_ = false;
        setAnnounced(false);
        if (animate && isVisible()) {
            slideTo(area->height(), kSlideOutSeconds, false);
        } else {
            slide_->stop();
            hide();
        }
    } else if (wanted && slide_->state() != QAbstractAnimation::Running) {
        placeAt(resting_.y());  // the panel changed face or size
    }
}

void SubmissionToastView::slideTo(int y, double seconds, bool easeOut) {
    slide_->stop();
    slide_->setStartValue(this->y());
    slide_->setEndValue(y);
    slide_->setDuration(int(std::lround(seconds * 1000)));
    slide_->setEasingCurve(easeOut ? style::easeOutCurve() : style::easeInCurve());
    slide_->start();
}

void SubmissionToastView::placeAt(int y) {
    move(resting_.x(), y);
}

void SubmissionToastView::finishSlide() {
    if (slide_->state() == QAbstractAnimation::Running)
        slide_->setCurrentTime(slide_->duration());
}

void SubmissionToastView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule(rect());
    style::fillRoundedRect(painter, capsule, kRadius, fill_);
    style::strokeRoundedRectInside(painter, capsule, kRadius, stroke_);
    const double symbolWidth = SymbolImage::size(kSymbol, kSymbolSize, style::Weight::bold).width();
    SymbolImage::paint(painter, QRectF(kPadding, 0, symbolWidth, height()), kSymbol, kSymbolSize,
                       style::Weight::bold, foreground_);
    const double x = kPadding + symbolWidth + kSpacing;
    style::face(style::TextRole::toast)
        .drawLine(painter, QRectF(x, 0, width() - x - kPadding + 1, height()), text_, foreground_);
}

}  // namespace corvanta
