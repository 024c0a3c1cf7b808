// Key caps as a screen reader should say them. Speech engines drop or skip
// most punctuation at their default level and read symbols such as ⌘ as
// nothing at all, so every key is turned into words of the language in use.
#pragma once

#include <vector>

#include <QString>

#include "catalog/AppLanguage.h"

namespace corvanta {

// "⇧⌘Z" is "Shift Command Z", "⌘," is "Command Comma"; a chord of two steps
// ("⌘K" then "⌘S") is "Command K, then Command S". Caps are joined by spaces.
QString spokenKeys(const std::vector<QString>& keys, AppLanguage language);

}  // namespace corvanta
