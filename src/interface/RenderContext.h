// What every area of the panel paints from: the store, the interface state,
// the theme's colours, the language and the texts derived from them, read at
// drawing time. Areas receive it from a source; they never see who owns it.
#pragma once

#include <QString>

#include "catalog/AppLanguage.h"
#include "catalog/AppTheme.h"
#include "interface/CorvantaViewState.h"
#include "interface/Palette.h"

namespace corvanta {

class ShortcutStore;

struct RenderContext {
    ShortcutStore& store;
    const CorvantaViewState& state;
    const ThemeColors& colors;
    AppLanguage language;
    AppTheme theme;
    // The picker and the sheets may open: the panel is expanded and still.
    bool acceptsOverlays = false;
    // The expand/collapse control's symbol and label, for where the
    // transition is heading.
    const char* expansionToggleIcon = "chevron.down";
    QString expansionToggleAccessibilityLabel;
    QString submissionToastText;

    // The text for the language in use.
    QString text(const char* zh, const char* en) const {
        return QString::fromUtf8(language == AppLanguage::zh ? zh : en);
    }
    bool isChinese() const { return language == AppLanguage::zh; }
};

// Hands out the current render context; paint events read it when they run.
class RenderContextSource {
public:
    virtual RenderContext renderContext() const = 0;

protected:
    ~RenderContextSource() = default;
};

}  // namespace corvanta
