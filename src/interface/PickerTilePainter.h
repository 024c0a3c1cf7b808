// One pack tile of the picker's grid: its plate, outline, logo, name and
// second line. Typing re-filters the grid and moves every tile, so each is
// painted once into a kept pixmap and copied from there afterwards: drawing
// the logo's and the lines' glyphs and flattening the rounded plates on every
// keystroke cost more than the rest of the key.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include "interface/Palette.h"
#include "interface/Style.h"

class QPainter;

namespace corvanta {

struct SoftwarePack;

struct PickerTile {
    const SoftwarePack* pack = nullptr;
    QString detail;  // the second line
    bool selected = false;
};

namespace picker_tile {

// The corner radius of the tiles (and of the grid's other plates).
constexpr double kRadius = 11;

// The height a line of `role` takes in the grid, whole pixels.
double lineHeight(style::TextRole role);

// Paints the tile into `rect` directly.
void paint(QPainter& painter, const QRectF& rect, const PickerTile& tile,
           const ThemeColors& colors);

// Paints the tile from a kept pixmap, given `under`, the opaque colour the
// rectangle (and a pixel around it) is known to hold. Returns false, having
// painted nothing, where a pixmap could not put the same pixels where
// painting directly would (a scale, a translucent colour, an opacity).
bool paintKept(QPainter& painter, const QRectF& rect, const PickerTile& tile,
               const ThemeColors& colors, const QColor& under);

}  // namespace picker_tile
}  // namespace corvanta
