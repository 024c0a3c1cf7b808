// Application logo tiles; see AppLogo.h.
#include "interface/AppLogo.h"

#include <QPainter>

#include "catalog/SoftwarePack.h"
#include "interface/Style.h"

namespace corvanta {

void AppLogo::paint(QPainter& painter, const QRectF& tile, const SoftwarePack* software,
                    const ThemeColors& colors) {
    const double s = tile.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    style::fillRoundedRect(painter, tile, s * 0.31, colors.surfaceRaised);
    style::strokeRoundedRectInside(painter, tile, s * 0.31, colors.border);
    const QString glyph = software ? QString::fromStdString(software->glyph) : QStringLiteral("C");
    const QColor color = software ? colorFromHex(software->accent) : colorFromHex("#808080");
    style::drawTextLine(painter, tile, glyph, style::systemFont(s * 0.4, style::Weight::bold),
                        color, Qt::AlignCenter);
    painter.restore();
}

SoftwareIconPresentation AppLogo::presentation(const SoftwarePack*) {
    return {};
}

}  // namespace corvanta
