// Root view of the panel; see CorvantaView.h.
#include "interface/CorvantaView.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include "catalog/ShortcutStore.h"
#include "platform/qt/MainQueue.h"

namespace corvanta {

namespace {

// Colours of the dark plate.
const QColor kPanelColor(0x1c, 0x1d, 0x21);
const QColor kBorderColor(255, 255, 255, 36);
const QColor kTextPrimary(0xf2, 0xf2, 0xf4);
const QColor kTextSecondary(0x9a, 0x9c, 0xa4);

constexpr double kCornerRadius = 15;
constexpr double kPlateInset = 1;
constexpr double kLeadingPadding = 11;
constexpr double kDragDotsWidth = 7;
constexpr double kLogoSize = 34;
constexpr double kSpacing = 7;
constexpr double kButtonsWidth = 73;

// Sizes are in points, one point being one logical pixel.
QFont systemFont(const QWidget& widget, double points, QFont::Weight weight) {
    QFont font = widget.font();
    font.setPointSizeF(points * 72.0 / widget.logicalDpiY());
    font.setWeight(weight);
    return font;
}

}  // namespace

CorvantaView::CorvantaView(ShortcutStore& store, WindowCommands& commands, QWidget* parent)
    : QWidget(parent), store_(store), commands_(commands) {
    setAttribute(Qt::WA_TranslucentBackground);
    storeChanged_ = store_.objectWillChange.connect([this] { update(); });
    // The counters announce before they store; act once the new value is in.
    QPointer<CorvantaView> self(this);
    escapeRequested_ = store_.escapeRequestID.willSet.connect([self](int) {
        platform::MainQueue::shared().post([self] {
            if (self)
                self->handleEscape();
        });
    });
}

void CorvantaView::handleEscape() {
    if (store_.isExpanded.get())
        collapse();
}

void CorvantaView::collapse() {
    store_.isExpanded = false;
    // The window call waits one turn, so the collapsed face is drawn first.
    QPointer<CorvantaView> self(this);
    platform::MainQueue::shared().post([self] {
        if (!self)
            return;
        auto& setExpanded = self->commands_.setExpanded;
        if (setExpanded)
            setExpanded(false, [] {});
    });
}

void CorvantaView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCollapsedBar(painter);
}

void CorvantaView::paintCollapsedBar(QPainter& painter) {
    // The plate fills the view less one point on each side; the outline is a
    // 1-point stroke drawn inside the plate.
    const QRectF plate =
        QRectF(rect()).adjusted(kPlateInset, kPlateInset, -kPlateInset, -kPlateInset);
    QPainterPath shape;
    shape.addRoundedRect(plate, kCornerRadius, kCornerRadius);
    painter.fillPath(shape, kPanelColor);
    painter.setPen(QPen(kBorderColor, 1));
    painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius - 0.5,
                            kCornerRadius - 0.5);

    const double textLeft =
        plate.left() + kLeadingPadding + kDragDotsWidth + kSpacing + kLogoSize + kSpacing;
    const double textWidth = std::max(0.0, plate.right() - kButtonsWidth - textLeft);
    const SoftwarePack* pack = store_.selectedSoftware();
    const QString name = pack ? QString::fromStdString(pack->name) : QStringLiteral("Corvanta");
    const QString caption = store_.language.get() == AppLanguage::zh
                                ? QStringLiteral("快捷键助手")
                                : QStringLiteral("Shortcut companion");

    const QFont nameFont = systemFont(*this, 13.5, QFont::DemiBold);
    const QFont captionFont = systemFont(*this, 10.5, QFont::Normal);
    const double nameHeight = QFontMetricsF(nameFont).height();
    const double captionHeight = QFontMetricsF(captionFont).height();
    const double top = plate.center().y() - (nameHeight + 3 + captionHeight) / 2;

    painter.setPen(kTextPrimary);
    painter.setFont(nameFont);
    painter.drawText(QRectF(textLeft, top, textWidth, nameHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(nameFont).elidedText(name, Qt::ElideRight, textWidth));
    painter.setPen(kTextSecondary);
    painter.setFont(captionFont);
    painter.drawText(QRectF(textLeft, top + nameHeight + 3, textWidth, captionHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(captionFont).elidedText(caption, Qt::ElideRight, textWidth));
}

}  // namespace corvanta
