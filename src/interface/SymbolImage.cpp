// Symbol images; see SymbolImage.h.
#include "interface/SymbolImage.h"

#include <QPainter>

namespace corvanta {

void SymbolImage::setDirectory(const QString&) {}

QSizeF SymbolImage::size(std::string_view, double pointSize, style::Weight) {
    return {pointSize, pointSize};
}

void SymbolImage::paint(QPainter& painter, const QRectF& box, std::string_view name,
                        double pointSize, style::Weight weight, const QColor& color) {
    const QSizeF s = size(name, pointSize, weight);
    const QRectF r(box.center().x() - s.width() / 2, box.center().y() - s.height() / 2, s.width(),
                   s.height());
    painter.save();
    painter.setPen(QPen(color, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(r.adjusted(1, 1, -1, -1));
    painter.restore();
}

QPixmap SymbolImage::pixmap(std::string_view, double, style::Weight, const QColor&, double) {
    return {};
}

bool SymbolImage::isKnown(std::string_view) {
    return false;
}

}  // namespace corvanta
