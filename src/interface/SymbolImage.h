// The named symbol images the interface draws ("star.fill", "xmark", …), from
// the SVGs in the bundle's symbols folder, recoloured and drawn crisply at the
// device pixel ratio. An unknown name draws a neutral substitute.
#pragma once

#include <string_view>

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QSizeF>

#include "interface/Style.h"

class QPainter;

namespace corvanta {

class SymbolImage {
public:
    // The folder holding the symbol SVGs; set once at start-up (the bundle's
    // "symbols" subfolder). Tests point it at the source tree.
    static void setDirectory(const QString& directory);

    // Size in points of the symbol drawn at font size `pointSize`.
    static QSizeF size(std::string_view name, double pointSize,
                       style::Weight weight = style::Weight::regular);
    // Draws the symbol centred in `box`.
    static void paint(QPainter& painter, const QRectF& box, std::string_view name, double pointSize,
                      style::Weight weight, const QColor& color);
    // The symbol rendered at `devicePixelRatio`, cached by name, size, weight,
    // colour and ratio.
    static QPixmap pixmap(std::string_view name, double pointSize, style::Weight weight,
                          const QColor& color, double devicePixelRatio);
    // True when the name has a drawing of its own (not the substitute).
    static bool isKnown(std::string_view name);
};

}  // namespace corvanta
