// Key caps per language and the sentence-end trimmer of shortcut titles.
#include "catalog/ShortcutItem.h"

#include <array>

#include "platform/foundation/Text.h"

namespace corvanta {
namespace {

// Removes the last user-perceived character when it is exactly one of the
// sentence-end characters; these are all single-scalar clusters unless a mark
// follows, in which case the cluster is something else and stays.
bool dropSentenceEnd(std::string& text) {
    static constexpr std::array<std::string_view, 5> kEnds{"。", "．", ".", ";", "；"};
    for (std::string_view end : kEnds) {
        if (text.size() >= end.size() &&
            text.compare(text.size() - end.size(), end.size(), end) == 0) {
            const std::vector<std::string> clusters = text::graphemes(text);
            if (clusters.empty() || clusters.back() != end)
                return false;
            text.erase(text.size() - end.size());
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> ShortcutItem::keysFor(AppLanguage language) const {
    if (language == AppLanguage::zh)
        return keysZh ? *keysZh : keys;
    std::vector<std::string> caps = keysEn ? *keysEn : keys;
    const auto& labels = englishKeyLabels();
    for (std::string& cap : caps) {
        if (const auto it = labels.find(cap); it != labels.end())
            cap = it->second;
    }
    return caps;
}

const std::map<std::string, std::string, std::less<>>& ShortcutItem::englishKeyLabels() {
    static const std::map<std::string, std::string, std::less<>> labels{
        {"拖动", "Drag"},
        {"滚轮", "Wheel"},
        {"点击", "Click"},
        {"右键", "Right click"},
        {"悬停", "Hover"},
        {"方向键", "Arrow keys"},
        {"双击", "Double click"},
        {"点击拖动", "Click-drag"},
        {"拖动节点", "Drag node"},
        {"属性快捷键", "Property shortcut"},
        {"点击菜单", "Menu command"},
        {"中键拖动", "Middle-drag"},
        {"中键点击", "Middle click"},
        {"左键拖动", "Left-drag"},
        {"右键拖动", "Right-drag"},
        {"数字", "Number"},
    };
    return labels;
}

std::string ShortcutItem::removingTerminalSentencePunctuation(std::string_view text) {
    std::string result = text::trimmed(text);
    while (!result.empty() && dropSentenceEnd(result)) result = text::trimmed(result);
    return result;
}

}  // namespace corvanta
