// The collapsed bar; see CollapsedBar.h.
#include "interface/CollapsedBar.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QVariantAnimation>

#include "catalog/ShortcutStore.h"
#include "interface/AppLogo.h"
#include "interface/PanelMetrics.h"
#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/TextFace.h"

namespace corvanta {

namespace {

constexpr double kLeadingPadding = 11;
constexpr double kTrailingPadding = 10;
constexpr double kSpacing = 7;
constexpr double kLogoSize = 34;
constexpr double kTextSpacing = 3;
constexpr double kButtonSpacing = 3;

}  // namespace

// The bar's content: grip, logo and texts painted, the two buttons as children.
class CollapsedBar::Row final : public QWidget {
public:
    Row(const RenderContextSource& source, QWidget* parent) : QWidget(parent), source_(source) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const RenderContext context = source_.renderContext();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double h = height();
        DragDots::paint(painter, QRectF(0, 0, DragDots::kWidth, h), context.colors);
        const double logoX = DragDots::kWidth + kSpacing;
        const SoftwarePack* pack = context.store.selectedSoftware();
        AppLogo::paint(painter, QRectF(logoX, (h - kLogoSize) / 2, kLogoSize, kLogoSize), pack,
                       context.colors);

        const double textX = logoX + kLogoSize + kSpacing;
        const double buttonsWidth = 2 * IconButton::kSize + kButtonSpacing;
        const double textWidth = std::max(0.0, width() - buttonsWidth - kSpacing - textX);
        const style::TextFace& nameFace = style::face(style::TextRole::collapsedName);
        const style::TextFace& captionFace = style::face(style::TextRole::collapsedCaption);
        const double nameHeight = nameFace.height();
        const double captionHeight = captionFace.height();
        const double top = (h - nameHeight - kTextSpacing - captionHeight) / 2;
        const QString name = pack ? QString::fromStdString(pack->name) : QStringLiteral("Corvanta");
        nameFace.drawLine(painter, QRectF(textX, top, textWidth, nameHeight), name,
                          context.colors.textPrimary);
        captionFace.drawLine(
            painter, QRectF(textX, top + nameHeight + kTextSpacing, textWidth, captionHeight),
            context.text("快捷键助手", "Shortcut companion"), context.colors.textSecondary);
    }

private:
    const RenderContextSource& source_;
};

CollapsedBar::CollapsedBar(const RenderContextSource& source, Actions actions, QWidget* parent)
    : QWidget(parent), source_(source), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("corvanta.collapsed"));
    setAttribute(Qt::WA_TranslucentBackground);
    row_ = new Row(source, this);
    expandButton_ = new IconButton(row_);
    expandButton_->setObjectName(QStringLiteral("corvanta.collapsed.expand"));
    closeButton_ = new IconButton(row_);
    closeButton_->setObjectName(QStringLiteral("corvanta.collapsed.close"));
    connect(expandButton_, &QAbstractButton::clicked, this, [this] { actions_.toggleExpansion(); });
    connect(closeButton_, &QAbstractButton::clicked, this, [this] { actions_.closeWindow(); });

    opacityEffect_ = new QGraphicsOpacityEffect(row_);
    opacityEffect_->setOpacity(1.0);
    opacityEffect_->setEnabled(false);
    row_->setGraphicsEffect(opacityEffect_);
    opacityAnimation_ = new QVariantAnimation(this);
    connect(opacityAnimation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { applyOpacity(value.toDouble()); });
}

void CollapsedBar::render(const RenderContext& context) {
    const QColor& secondary = context.colors.textSecondary;
    // Rendered while hidden too, so its names follow the language; hidden
    // behind the expanded panel, its button is the one that will expand.
    const QString toggleLabel = isVisible()
                                    ? context.expansionToggleAccessibilityLabel
                                    : context.text("展开快捷键面板", "Expand shortcut panel");
    expandButton_->setContent(context.expansionToggleIcon, secondary, toggleLabel,
                              context.colors.surface);
    closeButton_->setContent("xmark", secondary, context.text("关闭窗口", "Close window"),
                             context.colors.surface);
    // The painted pack name and caption are what the bar reads as; names are
    // announced whenever set, so only changed ones are.
    const SoftwarePack* pack = context.store.selectedSoftware();
    const QString name = pack ? QString::fromStdString(pack->name) : QStringLiteral("Corvanta");
    const QString caption = context.text("快捷键助手", "Shortcut companion");
    if (row_->accessibleName() != name)
        row_->setAccessibleName(name);
    if (row_->accessibleDescription() != caption)
        row_->setAccessibleDescription(caption);
    // The keyboard rests on the expand button after a collapse, and a screen
    // reader then reads the pack with it: the container's names are never
    // spoken.
    const QString packDescription = name + context.text("，", ", ") + caption;
    if (expandButton_->accessibleDescription() != packDescription)
        expandButton_->setAccessibleDescription(packDescription);
    const Face face{context.theme, context.language, context.store.selectedSoftwareID.get()};
    if (paintedFace_ == face)
        return;
    paintedFace_ = face;
    row_->update();
    update();
}

void CollapsedBar::setContentOpacity(double opacity, std::optional<StateAnimation> animation) {
    opacityAnimation_->stop();
    if (!animation || animation->seconds <= 0) {
        applyOpacity(opacity);
        return;
    }
    // A new animation starts from the value on screen.
    opacityAnimation_->setStartValue(displayedContentOpacity());
    opacityAnimation_->setEndValue(opacity);
    opacityAnimation_->setDuration(int(animation->seconds * 1000));
    opacityAnimation_->setEasingCurve(animation->curve == StateAnimation::Curve::easeOut
                                          ? style::easeOutCurve()
                                          : style::easeInCurve());
    opacityAnimation_->start();
}

double CollapsedBar::displayedContentOpacity() const {
    return opacityEffect_->isEnabled() ? opacityEffect_->opacity() : 1.0;
}

void CollapsedBar::applyOpacity(double opacity) {
    opacityEffect_->setOpacity(opacity);
    // Fully opaque content is drawn directly, not through the effect's buffer.
    opacityEffect_->setEnabled(opacity < 1.0);
}

void CollapsedBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QRectF plate =
        QRectF(rect()).adjusted(panel::kInset, panel::kInset, -panel::kInset, -panel::kInset);
    const QRectF row = plate.adjusted(kLeadingPadding, 0, -kTrailingPadding, 0);
    row_->setGeometry(row.toRect());
    const int buttonY = int((row.height() - IconButton::kSize) / 2);
    const int closeX = int(row.width() - IconButton::kSize);
    closeButton_->move(closeX, buttonY);
    expandButton_->move(int(closeX - kButtonSpacing - IconButton::kSize), buttonY);
}

void CollapsedBar::paintEvent(QPaintEvent*) {
    const ThemeColors& colors = source_.renderContext().colors;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate =
        QRectF(rect()).adjusted(panel::kInset, panel::kInset, -panel::kInset, -panel::kInset);
    style::fillRoundedRect(painter, plate, panel::kCornerRadius, colors.panel);
    style::strokeRoundedRectInside(painter, plate, panel::kCornerRadius, colors.border);
}

}  // namespace corvanta
