// The square tile that names a pack: its bundled icon, else the installed
// application's icon, else a vector mark or the pack's glyph in its accent.
#pragma once

#include <optional>
#include <string>

#include <QRectF>

#include "interface/Palette.h"

class QPainter;

namespace corvanta {

struct SoftwarePack;

// How a bundled icon sits in its tile.
struct SoftwareIconPresentation {
    double insetRatio = 0.06;
    std::optional<std::string> backgroundHex;
    bool operator==(const SoftwareIconPresentation&) const = default;
};

class AppLogo {
public:
    // Draws the tile for `software` (nullptr: no pack selected) filling `tile`,
    // whose width is the tile's size.
    static void paint(QPainter& painter, const QRectF& tile, const SoftwarePack* software,
                      const ThemeColors& colors);
    static SoftwareIconPresentation presentation(const SoftwarePack* software);
};

}  // namespace corvanta
