// One shortcut of a pack: its key caps, bilingual titles and search tags.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/AppLanguage.h"

namespace corvanta {

struct ShortcutItem {
    std::string id;
    std::vector<std::string> keys;
    std::optional<std::vector<std::string>> keysZh;
    std::optional<std::vector<std::string>> keysEn;
    std::string zh;
    std::string en;
    std::vector<std::string> tags;

    bool operator==(const ShortcutItem&) const = default;

    // The key caps to draw in a language (the data member already holds the
    // name `keys`). English replaces whole Chinese mouse and action words by
    // their labels.
    std::vector<std::string> keysFor(AppLanguage language) const;

    // Chinese key cap -> English label; built once, shared.
    static const std::map<std::string, std::string, std::less<>>& englishKeyLabels();

    // Trims the text and drops trailing sentence-end characters (。．.;；) with
    // any white space between them.
    static std::string removingTerminalSentencePunctuation(std::string_view text);
};

}  // namespace corvanta

template <>
struct std::hash<corvanta::ShortcutItem> {
    std::size_t operator()(const corvanta::ShortcutItem& value) const noexcept;
};
