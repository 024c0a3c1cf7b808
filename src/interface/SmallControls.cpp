// Small controls; see SmallControls.h.
#include "interface/SmallControls.h"

#include <cmath>

#include <QPainter>

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

PlainButton::PlainButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, false);
    setCursor(Qt::ArrowCursor);
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
