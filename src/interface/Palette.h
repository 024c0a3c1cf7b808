// The panel's eleven theme colours. Each is a pair of colour strings resolved
// for the theme the user chose, never for the system's own appearance.
#pragma once

#include <string>
#include <string_view>

#include <QColor>

#include "catalog/AppTheme.h"

namespace corvanta {

// Opaque sRGB colour from a colour string (see platform::parseColorString).
QColor colorFromHex(std::string_view text);

// A light/dark pair; the string is parsed again at every resolution.
class AdaptiveColor {
public:
    static AdaptiveColor adaptive(std::string light, std::string dark) {
        return AdaptiveColor(std::move(light), std::move(dark));
    }
    QColor resolve(AppTheme theme) const {
        return colorFromHex(theme == AppTheme::dark ? dark_ : light_);
    }

private:
    AdaptiveColor(std::string light, std::string dark)
        : light_(std::move(light)), dark_(std::move(dark)) {}
    std::string light_;
    std::string dark_;
};

struct Palette {
    static const AdaptiveColor& panel();
    static const AdaptiveColor& chrome();
    static const AdaptiveColor& content();
    static const AdaptiveColor& surface();
    static const AdaptiveColor& surfaceRaised();
    static const AdaptiveColor& surfaceSelected();
    static const AdaptiveColor& border();
    static const AdaptiveColor& textPrimary();
    static const AdaptiveColor& textSecondary();
    static const AdaptiveColor& textMuted();
    static const AdaptiveColor& accent();
};

// The palette resolved once for one theme, for painting.
struct ThemeColors {
    QColor panel;
    QColor chrome;
    QColor content;
    QColor surface;
    QColor surfaceRaised;
    QColor surfaceSelected;
    QColor border;
    QColor textPrimary;
    QColor textSecondary;
    QColor textMuted;
    QColor accent;

    static const ThemeColors& forTheme(AppTheme theme);
};

}  // namespace corvanta
