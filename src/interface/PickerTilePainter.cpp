// See PickerTilePainter.h.
#include "interface/PickerTilePainter.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include "catalog/SoftwarePack.h"
#include "interface/AppLogo.h"
#include "interface/KeptPixmap.h"
#include "interface/Style.h"
#include "interface/TextFace.h"

namespace corvanta::picker_tile {
namespace {

constexpr double kPadding = 8;
constexpr double kLogoSize = 34;
constexpr double kLogoSpacing = 9;
constexpr double kTextSpacing = 3;
// The outline is centred on the rectangle's edge, so its outer half (and
// its antialiasing) reaches into the pixel around it.
constexpr int kMargin = 1;

quint64 pair(const QColor& a, const QColor& b) {
    return (quint64(a.rgba()) << 32) | quint64(b.rgba());
}

// The format of what the painter draws into, so that the pixmap's glyphs and
// edges blend as they would there.
QImage::Format targetFormat(QPainter& painter) {
    const QPaintDevice* device =
        painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image) {
        const QImage::Format format = static_cast<const QImage*>(device)->format();
        if (format != QImage::Format_Invalid)
            return format;
    }
    return QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

double lineHeight(style::TextRole role) {
    return std::ceil(style::face(role).height());
}

void paint(QPainter& painter, const QRectF& rect, const PickerTile& tile,
           const ThemeColors& colors) {
    const SoftwarePack& pack = *tile.pack;
    style::fillRoundedRect(painter, rect, kRadius,
                           tile.selected ? colors.surfaceSelected : colors.surface);
    style::strokeRoundedRect(painter, rect, kRadius, tile.selected ? colors.accent : colors.border);
    const QRectF content = rect.adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const QRectF logo(content.left(), content.center().y() - kLogoSize / 2, kLogoSize, kLogoSize);
    AppLogo::paint(painter, logo, &pack, colors);

    const double nameHeight = lineHeight(style::TextRole::pickerTileName);
    const double detailHeight = lineHeight(style::TextRole::pickerTileDetail);
    const double textLeft = logo.right() + kLogoSpacing;
    const double textWidth = std::max(0.0, content.right() - textLeft);
    const double textTop = content.center().y() - (nameHeight + kTextSpacing + detailHeight) / 2;
    style::face(style::TextRole::pickerTileName)
        .drawLine(painter, QRectF(textLeft, textTop, textWidth, nameHeight),
                  QString::fromStdString(pack.name), colors.textPrimary);
    style::face(style::TextRole::pickerTileDetail)
        .drawLine(painter,
                  QRectF(textLeft, textTop + nameHeight + kTextSpacing, textWidth, detailHeight),
                  tile.detail, colors.textSecondary);
}

bool paintKept(QPainter& painter, const QRectF& rect, const PickerTile& tile,
               const ThemeColors& colors, const QColor& under) {
    // As with kept lines: only a plain shift keeps every edge and glyph where
    // direct painting would put it. The pixmap goes on whole device pixels,
    // and the tile inside it keeps the fraction of a pixel it starts at.
    const QTransform& transform = painter.deviceTransform();
    if (!tile.pack || !under.isValid() || under.alpha() != 255 ||
        transform.type() > QTransform::TxTranslate || !painter.device() ||
        painter.device()->devicePixelRatioF() != 1 || painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || rect.width() > 1024 ||
        rect.height() > 256 || rect.isEmpty())
        return false;
    const double left = rect.left() + transform.dx();
    const double top = rect.top() + transform.dy();
    const QPointF fraction(left - std::floor(left), top - std::floor(top));
    const QImage::Format format = targetFormat(painter);
    const SoftwarePack& pack = *tile.pack;
    // The pack's address stands for its logo's icon; what else the tile
    // shows of it is in the key too, should an address be reused.
    const QString key = PixmapKey(QLatin1StringView("corvanta-picker-tile:"))
                            .add(quint64(quintptr(&pack)))
                            .add(pack.id)
                            .add(QString::fromStdString(pack.name))
                            .add(pack.glyph)
                            .add(pack.accent)
                            .add(tile.detail)
                            .add(quint64(tile.selected) | (quint64(format) << 8) |
                                 (quint64(painter.renderHints()) << 32))
                            .add(rect.width())
                            .add(rect.height())
                            .add(fraction.x())
                            .add(fraction.y())
                            .add(pair(under, colors.surface))
                            .add(pair(colors.surfaceSelected, colors.surfaceRaised))
                            .add(pair(colors.border, colors.accent))
                            .add(pair(colors.textPrimary, colors.textSecondary))
                            .text();
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        QImage image(int(std::ceil(rect.width() + fraction.x())) + 2 * kMargin,
                     int(std::ceil(rect.height() + fraction.y())) + 2 * kMargin, format);
        image.fill(under);
        {
            QPainter tilePainter(&image);
            tilePainter.setRenderHints(painter.renderHints());
            paint(tilePainter, QRectF(fraction + QPointF(kMargin, kMargin), rect.size()), tile,
                  colors);
        }
        pixmap = QPixmap::fromImage(std::move(image));
        QPixmapCache::insert(key, pixmap);
    }
    painter.drawPixmap(rect.topLeft() - fraction - QPointF(kMargin, kMargin), pixmap);
    return true;
}

}  // namespace corvanta::picker_tile
