// What every area of the panel paints from: the store, the root view's state,
// the theme's colours and the language, read at drawing time.
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

    // The text for the language in use.
    QString text(const char* zh, const char* en) const {
        return QString::fromUtf8(language == AppLanguage::zh ? zh : en);
    }
    bool isChinese() const { return language == AppLanguage::zh; }
};

}  // namespace corvanta
