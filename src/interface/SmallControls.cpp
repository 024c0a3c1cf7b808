// Small controls; see SmallControls.h.
#include "interface/SmallControls.h"

#include <cmath>

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "interface/PlainButtonAccessible.h"

#include "interface/Style.h"
#include "interface/SymbolImage.h"
#include "interface/TextFace.h"

namespace corvanta {

namespace {

constexpr double kMiniKeyPadding = 4;
constexpr double kMiniKeyRadius = 4;
constexpr double kDotSize = 2;
constexpr double kDotSpacing = 3;
constexpr double kIconButtonRadius = 9;
constexpr double kIconSymbolSize = 12;
constexpr double kFilterPadding = 9;
constexpr double kFilterSpacing = 4;
constexpr double kFilterSymbolSize = 10;
constexpr double kFilterRadius = 6;
constexpr double kCategoryPadding = 10;
constexpr double kCategoryRadius = 8;

template <class T>
bool assign(T& target, const T& value) {
    if (target == value)
        return false;
    target = value;
    return true;
}

}  // namespace

void SolidDivider::paint(QPainter& painter, const QRectF& line, const ThemeColors& colors) {
    painter.fillRect(QRectF(line.left(), line.top(), line.width(), 1), colors.border);
}

QSizeF MiniKey::size(const QString& text) {
    return {std::ceil(style::face(style::TextRole::miniKey).width(text)) + 2 * kMiniKeyPadding,
            kHeight};
}

void MiniKey::paint(QPainter& painter, QPointF origin, const QString& text,
                    const ThemeColors& colors) {
    const QRectF chip(origin, size(text));
    style::fillRoundedRect(painter, chip, kMiniKeyRadius, colors.surfaceRaised);
    style::face(style::TextRole::miniKey)
        .drawLine(painter, chip, text, colors.textSecondary, Qt::AlignCenter);
    style::strokeRoundedRectInside(painter, chip, kMiniKeyRadius, colors.border);
}

void DragDots::paint(QPainter& painter, const QRectF& frame, const ThemeColors& colors) {
    const QPointF origin(frame.center().x() - kWidth / 2, frame.center().y() - kHeight / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colors.textMuted);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            painter.drawEllipse(QRectF(origin.x() + column * (kDotSize + kDotSpacing),
                                       origin.y() + row * (kDotSize + kDotSpacing), kDotSize,
                                       kDotSize));
    painter.restore();
}

namespace {

QColor& focusIndicatorColor() {
    static QColor color(Qt::gray);
    return color;
}

}  // namespace

PlainButton::PlainButton(QWidget* parent) : QAbstractButton(parent) {
    installPlainButtonAccessibility();
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, false);
    setCursor(Qt::ArrowCursor);
}

void PlainButton::setFocusIndicatorColor(const QColor& color) {
    focusIndicatorColor() = color;
}

void PlainButton::setAccessibleChecked(bool checked, bool oneOfSeveral) {
    // Checkable only for what it reports: the click leaves the state alone.
    oneOfSeveral_ = oneOfSeveral;
    if (!isCheckable())
        setCheckable(true);
    setChecked(checked);
}

void PlainButton::setAccessiblePopup(bool open) {
    const bool changed = !opensPopup_ || popupOpen_ != open;
    opensPopup_ = true;
    popupOpen_ = open;
    if (changed && QAccessible::isActive()) {
        QAccessible::State states;
        states.expanded = true;
        QAccessibleStateChangeEvent event(this, states);
        QAccessible::updateAccessibility(&event);
    }
}

void PlainButton::setStandsInForFocus(bool current) {
    if (standsInForFocus_ == current)
        return;
    standsInForFocus_ = current;
    update();
}

void PlainButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    // Only Tab and Shift+Tab bring the ring: focus handed over by the panel
    // itself (after a collapse, into a popup) stays invisible to the mouse.
    const bool keyboard =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (keyboard != keyboardFocus_) {
        keyboardFocus_ = keyboard;
        update();
    }
}

void PlainButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    // The window losing activation keeps the ring for when it comes back.
    if (keyboardFocus_ && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason) {
        keyboardFocus_ = false;
        update();
    }
}

void PlainButton::keyPressEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat())
        pressedByKeyboard_ = true;
    QAbstractButton::keyPressEvent(event);
}

void PlainButton::mousePressEvent(QMouseEvent* event) {
    pressedByKeyboard_ = false;
    QAbstractButton::mousePressEvent(event);
}

bool PlainButton::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    // Drawn over whatever the subclass painted, in the same paint event.
    if (event->type() == QEvent::Paint && showsFocusIndicator())
        paintFocusIndicator();
    return handled;
}

void PlainButton::paintFocusIndicator() {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr double kWidth = 2;
    const QRectF ring = QRectF(rect()).adjusted(kWidth / 2, kWidth / 2, -kWidth / 2, -kWidth / 2);
    painter.setPen(QPen(focusIndicatorColor(), kWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(style::continuousRoundedRect(ring, focusIndicatorRadius()));
}

void PlainButton::applyTitledContent(const QString& title, double width, double height,
                                     bool changed) {
    const QSize wanted(int(std::ceil(width)), int(height));
    if (size() != wanted)
        setFixedSize(wanted);
    if (accessibleName() != title)
        setAccessibleName(title);
    if (changed)
        update();
}

IconButton::IconButton(QWidget* parent) : PlainButton(parent) {
    setFixedSize(int(kSize), int(kSize));
}

void IconButton::setContent(const std::string& systemName, const QColor& color,
                            const QString& accessibilityLabel, const QColor& background) {
    bool changed = assign(systemName_, systemName);
    changed |= assign(color_, color);
    changed |= assign(background_, background);
    if (accessibleName() != accessibilityLabel)
        setAccessibleName(accessibilityLabel);
    if (changed)
        update();
}

double IconButton::focusIndicatorRadius() const {
    return kIconButtonRadius;
}

void IconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(pressOpacity());
    style::fillRoundedRect(painter, rect(), kIconButtonRadius, background_);
    SymbolImage::paint(painter, rect(), systemName_, kIconSymbolSize, style::Weight::medium,
                       color_);
}

FilterButton::FilterButton(QWidget* parent) : PlainButton(parent) {}

void FilterButton::setContent(const QString& title, const std::optional<std::string>& systemName,
                              bool active, const ThemeColors& colors) {
    bool changed = assign(title_, title);
    changed |= assign(systemName_, systemName);
    changed |= assign(active_, active);
    changed |= assign(fill_, active ? colors.surfaceSelected : colors.surface);
    changed |= assign(foreground_, active ? colors.textPrimary : colors.textSecondary);
    double width = 2 * kFilterPadding + style::face(style::TextRole::filterTitle).width(title);
    if (systemName)
        width += SymbolImage::size(*systemName, kFilterSymbolSize).width() + kFilterSpacing;
    applyTitledContent(title, width, kHeight, changed);
    // The segment in use is the chosen one of the two.
    setAccessibleChecked(active, true);
}

double FilterButton::focusIndicatorRadius() const {
    return kFilterRadius;
}

void FilterButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(pressOpacity());
    style::fillRoundedRect(painter, rect(), kFilterRadius, fill_);
    double x = kFilterPadding;
    if (systemName_) {
        const QSizeF symbol = SymbolImage::size(*systemName_, kFilterSymbolSize);
        SymbolImage::paint(painter, QRectF(x, 0, symbol.width(), height()), *systemName_,
                           kFilterSymbolSize, style::Weight::regular, foreground_);
        x += symbol.width() + kFilterSpacing;
    }
    style::face(style::TextRole::filterTitle)
        .drawLine(painter, QRectF(x, 0, width() - x, height()), title_, foreground_);
}

CategoryButton::CategoryButton(QWidget* parent) : PlainButton(parent) {}

void CategoryButton::setContent(const QString& title, bool active, const QColor& accent,
                                const ThemeColors& colors) {
    bool changed = assign(title_, title);
    changed |= assign(active_, active);
    changed |= assign(fill_, active ? accent : colors.surface);
    changed |= assign(stroke_, active ? accent : colors.border);
    changed |= assign(foreground_, active ? colors.panel : colors.textSecondary);
    applyTitledContent(
        title, 2 * kCategoryPadding + style::face(style::TextRole::categoryTitle).width(title),
        kHeight, changed);
    setAccessibleChecked(active, true);
}

double CategoryButton::focusIndicatorRadius() const {
    return kCategoryRadius;
}

void CategoryButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(pressOpacity());
    // The stroke is centred on the outline, so inset it by half a point to keep
    // it inside the widget.
    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    style::fillRoundedRect(painter, shape, kCategoryRadius, fill_);
    style::strokeRoundedRect(painter, shape, kCategoryRadius, stroke_);
    style::face(style::TextRole::categoryTitle)
        .drawLine(painter, QRectF(rect()), title_, foreground_, Qt::AlignCenter);
}

}  // namespace corvanta
