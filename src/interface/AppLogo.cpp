// Application logo tiles; see AppLogo.h.
#include "interface/AppLogo.h"

#include <cmath>

#include <QPaintDevice>
#include <QPainter>
#include <QPixmapCache>

#include "catalog/SoftwarePack.h"
#include "interface/Style.h"
#include "interface/TextFace.h"

namespace corvanta {
namespace {

constexpr double kCornerRatio = 0.31;
constexpr double kGlyphRatio = 0.4;
constexpr double kInstalledInsetRatio = 0.035;
constexpr double kFigmaWidthRatio = 0.47;
constexpr double kFigmaHeightRatio = 0.68;
constexpr const char* kPlaceholderGrey = "#808080";

// Draws a cached icon fitted into `box`, keeping its shape. The 256-pixel
// image is reduced once per drawn size with area averaging, which keeps small
// tiles sharp where a plain bilinear reduction would alias.
void drawIcon(QPainter& painter, const QRectF& box, const QImage& image) {
    if (box.isEmpty() || image.isNull())
        return;
    const QSizeF fitted = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
    const QRectF target(box.center().x() - fitted.width() / 2,
                        box.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(std::max(1, int(std::lround(fitted.width() * ratio))),
                       std::max(1, int(std::lround(fitted.height() * ratio))));
    const QString key = QStringLiteral("corvanta-logo:%1:%2x%3")
                            .arg(image.cacheKey())
                            .arg(pixels.width())
                            .arg(pixels.height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = QPixmap::fromImage(
            image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QPixmapCache::insert(key, scaled);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, scaled, QRectF(scaled.rect()));
    painter.restore();
}

// The five-circle mark, filling `frame`'s width; the lowest circle may hang
// below the frame (the tile's clip trims it).
void paintFigmaMark(QPainter& painter, const QRectF& frame) {
    const double d = frame.width() / 2;
    struct Circle {
        const char* fill;
        double column;
        double row;
    };
    static constexpr Circle kCircles[] = {
        {"#FF7262", 0, 0}, {"#F24E1E", 1, 0}, {"#A259FF", 0, 1},
        {"#1ABCFE", 1, 1}, {"#0ACF83", 0, 2},
    };
    painter.save();
    painter.setPen(Qt::NoPen);
    for (const Circle& circle : kCircles) {
        painter.setBrush(colorFromHex(circle.fill));
        painter.drawEllipse(
            QRectF(frame.left() + circle.column * d, frame.top() + circle.row * d, d, d));
    }
    painter.restore();
}

void drawGlyph(QPainter& painter, const QRectF& tile, const QString& glyph, const QColor& color) {
    style::face(tile.width() * kGlyphRatio, style::Weight::bold)
        .drawLine(painter, tile, glyph, color, Qt::AlignCenter);
}

}  // namespace

void AppLogo::paint(QPainter& painter, const QRectF& tile, const SoftwarePack* software,
                    const ThemeColors& colors) {
    const double s = tile.width();
    const QRectF frame(tile.center().x() - s / 2, tile.center().y() - s / 2, s, s);
    const QPainterPath shape = style::continuousRoundedRect(frame, s * kCornerRatio);
    const SoftwareIconPresentation look = presentation(software);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.fillPath(shape,
                     look.backgroundHex ? colorFromHex(*look.backgroundHex) : colors.surfaceRaised);
    // A centred stroke: its outer half falls outside the clip.
    style::strokeRoundedRect(painter, frame, s * kCornerRatio, colors.border, 1);

    if (!software) {
        drawGlyph(painter, frame, QStringLiteral("C"), colorFromHex(kPlaceholderGrey));
    } else if (const auto icon = SoftwareIconRepository::bundledIcon(*software)) {
        const double inset = s * look.insetRatio;
        drawIcon(painter, frame.adjusted(inset, inset, -inset, -inset), *icon);
    } else if (const auto installed = SoftwareIconRepository::installedIcon(*software)) {
        const double inset = s * kInstalledInsetRatio;
        drawIcon(painter, frame.adjusted(inset, inset, -inset, -inset), *installed);
    } else if (software->id == "figma") {
        const QSizeF mark(s * kFigmaWidthRatio, s * kFigmaHeightRatio);
        paintFigmaMark(painter,
                       QRectF(frame.center().x() - mark.width() / 2,
                              frame.center().y() - mark.height() / 2, mark.width(), mark.height()));
    } else {
        drawGlyph(painter, frame, QString::fromStdString(software->glyph),
                  colorFromHex(software->accent));
    }
    painter.restore();
}

SoftwareIconPresentation AppLogo::presentation(const SoftwarePack* software) {
    if (!software)
        return {};
    const auto& table = SoftwareIconRepository::bundledPresentations();
    const auto entry = table.find(software->id);
    return entry == table.end() ? SoftwareIconPresentation{} : entry->second;
}

}  // namespace corvanta
