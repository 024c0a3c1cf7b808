// Theme palette; see Palette.h.
#include "interface/Palette.h"

#include "platform/foundation/ColorString.h"

namespace corvanta {

QColor colorFromHex(std::string_view text) {
    const platform::Rgb8 rgb = platform::parseColorString(text);
    return QColor::fromRgb(rgb.red, rgb.green, rgb.blue);
}

// The table lists dark first; the constructor takes light first.
#define CORVANTA_PALETTE_COLOR(name, dark, light)                                \
    const AdaptiveColor& Palette::name() {                                       \
        static const AdaptiveColor color = AdaptiveColor::adaptive(light, dark); \
        return color;                                                            \
    }

CORVANTA_PALETTE_COLOR(panel, "#141414", "#FBFBFB")
CORVANTA_PALETTE_COLOR(chrome, "#1B1B1B", "#FFFFFF")
CORVANTA_PALETTE_COLOR(content, "#0F0F0F", "#F8F8F8")
CORVANTA_PALETTE_COLOR(surface, "#1E1E1E", "#F3F3F3")
CORVANTA_PALETTE_COLOR(surfaceRaised, "#282828", "#EDEDED")
CORVANTA_PALETTE_COLOR(surfaceSelected, "#363636", "#E4E4E4")
CORVANTA_PALETTE_COLOR(border, "#414141", "#DADADA")
CORVANTA_PALETTE_COLOR(textPrimary, "#F4F4F4", "#1A1A1A")
CORVANTA_PALETTE_COLOR(textSecondary, "#AEAEAE", "#585858")
CORVANTA_PALETTE_COLOR(textMuted, "#7C7C7C", "#818181")
CORVANTA_PALETTE_COLOR(accent, "#D0D0D0", "#4A4A4A")

#undef CORVANTA_PALETTE_COLOR

namespace {

ThemeColors resolveAll(AppTheme theme) {
    return ThemeColors{
        Palette::panel().resolve(theme),         Palette::chrome().resolve(theme),
        Palette::content().resolve(theme),       Palette::surface().resolve(theme),
        Palette::surfaceRaised().resolve(theme), Palette::surfaceSelected().resolve(theme),
        Palette::border().resolve(theme),        Palette::textPrimary().resolve(theme),
        Palette::textSecondary().resolve(theme), Palette::textMuted().resolve(theme),
        Palette::accent().resolve(theme),
    };
}

}  // namespace

const ThemeColors& ThemeColors::forTheme(AppTheme theme) {
    static const ThemeColors dark = resolveAll(AppTheme::dark);
    static const ThemeColors light = resolveAll(AppTheme::light);
    return theme == AppTheme::dark ? dark : light;
}

}  // namespace corvanta
