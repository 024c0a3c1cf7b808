// The square tile that names a pack: its bundled icon, else the installed
// application's icon, else a vector mark or the pack's glyph in its accent.
#pragma once

#include <QRectF>

#include "interface/Palette.h"
#include "interface/SoftwareIconRepository.h"

class QPainter;

namespace corvanta {

struct SoftwarePack;

class AppLogo {
public:
    // Draws the tile for `software` (nullptr: no pack selected) filling `tile`,
    // whose width is the tile's size. Every measure is a fraction of it.
    static void paint(QPainter& painter, const QRectF& tile, const SoftwarePack* software,
                      const ThemeColors& colors);
    // How the pack's bundled icon sits in its tile and what colours the tile's
    // background; the default for no pack or a pack outside the table.
    static SoftwareIconPresentation presentation(const SoftwarePack* software);
};

}  // namespace corvanta
