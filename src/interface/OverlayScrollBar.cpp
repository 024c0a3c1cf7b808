// The overlay scroll bar; see OverlayScrollBar.h.
#include "interface/OverlayScrollBar.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QPointer>

#include "interface/Style.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

namespace {

constexpr double kThumbWidth = 6;
constexpr double kThumbMinLength = 24;
constexpr double kEndMargin = 3;

}  // namespace

OverlayScrollBar::OverlayScrollBar(QAbstractScrollArea& area)
    : QScrollBar(Qt::Vertical, &area),
      viewport_(area.viewport()),
      model_(area.verticalScrollBar()) {
    setObjectName(QStringLiteral("corvanta.overlay-scroller"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* model = model_;
    setRange(model->minimum(), model->maximum());
    setPageStep(model->pageStep());
    setSingleStep(model->singleStep());
    setValue(model->value());
    connect(model, &QScrollBar::rangeChanged, this, [this](int minimum, int maximum) {
        setRange(minimum, maximum);
        if (model_)
            setPageStep(model_->pageStep());
        passMouseThrough(maximum <= minimum);
    });
    connect(model, &QScrollBar::valueChanged, this, [this](int value) {
        setValue(value);
        reveal();
    });
    connect(this, &QScrollBar::valueChanged, model, &QScrollBar::setValue);
    passMouseThrough(model->maximum() <= model->minimum());
    // The viewport, not the area: the area's own resize event comes before it
    // lays out the viewport, so the viewport's geometry would still be old.
    viewport_->installEventFilter(this);
    place();
}

OverlayScrollBar::~OverlayScrollBar() {
    hideTask_.cancel();
}

void OverlayScrollBar::setThumbColor(const QColor& color) {
    if (thumbColor_ == color)
        return;
    thumbColor_ = color;
    update();
}

bool OverlayScrollBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                                 event->type() == QEvent::Show))
        place();
    return QScrollBar::eventFilter(watched, event);
}

void OverlayScrollBar::place() {
    if (!viewport_)
        return;
    const QRect viewport = viewport_->geometry();
    setGeometry(viewport.right() + 1 - kWidth, viewport.top(), kWidth, viewport.height());
    raise();
}

// A list that fits leaves the bar in place but lets the pointer through to
// the rows: showing and hiding it instead costs a repaint of its strip on
// every keystroke whose result crosses the list's height.
void OverlayScrollBar::passMouseThrough(bool through) {
    if (testAttribute(Qt::WA_TransparentForMouseEvents) == through)
        return;
    setAttribute(Qt::WA_TransparentForMouseEvents, through);
    if (through && hovered_) {
        hovered_ = false;
        scheduleHide();
    }
}

// The thumb is drawn only while shown; a hidden bar's new range or value
// needs no repaint.
void OverlayScrollBar::sliderChange(SliderChange change) {
    if (shown_)
        QScrollBar::sliderChange(change);
}

void OverlayScrollBar::reveal() {
    shown_ = true;
    update();
    scheduleHide();
}

void OverlayScrollBar::scheduleHide() {
    hideTask_.cancel();
    if (hovered_ || isSliderDown())
        return;
    QPointer<OverlayScrollBar> self(this);
    hideTask_ = platform::MainQueue::shared().postAfter(kLingerSeconds, [self] {
        if (!self || self->hovered_ || self->isSliderDown())
            return;
        self->shown_ = false;
        self->update();
    });
}

void OverlayScrollBar::enterEvent(QEnterEvent* event) {
    QScrollBar::enterEvent(event);
    hovered_ = true;
    reveal();
}

void OverlayScrollBar::leaveEvent(QEvent* event) {
    QScrollBar::leaveEvent(event);
    hovered_ = false;
    scheduleHide();
}

void OverlayScrollBar::paintEvent(QPaintEvent*) {
    if (!shown_ || maximum() <= minimum())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double track = height() - 2 * kEndMargin;
    const double total = double(maximum() - minimum() + pageStep());
    const double length = std::clamp(track * pageStep() / total, kThumbMinLength, track);
    const double travel = track - length;
    const double position =
        kEndMargin + travel * double(value() - minimum()) / double(maximum() - minimum());
    const QRectF thumb((width() - kThumbWidth) / 2, position, kThumbWidth, length);
    QColor color = thumbColor_;
    color.setAlphaF(isSliderDown() || hovered_ ? 0.9 : 0.6);
    style::fillRoundedRect(painter, thumb, kThumbWidth / 2, color);
}

}  // namespace corvanta
