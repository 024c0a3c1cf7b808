// Validation of one decoded pack and merging of two versions of a pack.
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "catalog/CatalogLoading.h"
#include "catalog/StringViewSet.h"
#include "platform/foundation/Text.h"

namespace corvanta::detail {
namespace {

std::string sentence(std::string_view source, std::initializer_list<std::string_view> pieces) {
    std::string out(source);
    out += ".json";
    for (std::string_view piece : pieces) out += piece;
    return out;
}

bool isAsciiBlankFree(std::string_view text) {
    // A first byte that is printable ASCII cannot start a blank text; this
    // spares the Unicode scan for nearly every title.
    if (text.empty())
        return false;
    const auto first = static_cast<unsigned char>(text.front());
    return first > 0x20 && first < 0x7F;
}

bool isBlank(std::string_view text) {
    return !isAsciiBlankFree(text) && text::isBlank(text);
}

bool asciiContainsWindows(std::string_view key) {
    static constexpr std::string_view kWord = "windows";
    if (key.size() < kWord.size())
        return false;
    for (std::size_t i = 0; i + kWord.size() <= key.size(); ++i) {
        std::size_t j = 0;
        while (j < kWord.size() && (key[i + j] | 0x20) == kWord[j]) ++j;
        if (j == kWord.size())
            return true;
    }
    return false;
}

// Keys repeat heavily across a catalog (modifier symbols, letters), so the
// Unicode containment test runs once per distinct non-ASCII key.
class WindowsKeyCheck {
public:
    bool isWindowsOnly(const std::string& key) {
        if (key == "⊞")
            return true;
        bool ascii = true;
        for (const char c : key) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (ascii)
            return asciiContainsWindows(key);
        const auto [it, inserted] = cache_.try_emplace(key, false);
        if (inserted)
            it->second = text::containsCaseInsensitive(key, "windows");
        return it->second;
    }

private:
    std::unordered_map<std::string, bool> cache_;
};

WindowsKeyCheck& windowsKeyCheck() {
    thread_local WindowsKeyCheck check;
    return check;
}

}  // namespace

std::optional<SoftwarePack> sanitized(SoftwarePack pack, std::string_view source,
                                      std::vector<std::string>& warnings) {
    if (isBlank(pack.id) || isBlank(pack.name)) {
        warnings.push_back(
            sentence(source, {" contains a software pack with an empty id or name."}));
        return std::nullopt;
    }
    if (pack.dataStatus == SoftwareDataStatus::catalogOnly && pack.categories.empty())
        return pack;

    // First every test on the pack as it came, with the id sets viewing its
    // own strings, which stay in place meanwhile; then the kept parts are
    // moved out, and only when something was dropped.
    std::size_t itemCount = 0;
    for (const ShortcutCategory& category : pack.categories) itemCount += category.items.size();
    StringViewSet categoryIDs(pack.categories.size());
    StringViewSet itemIDs(itemCount);
    std::vector<bool> keepCategory(pack.categories.size(), false);
    std::vector<bool> keepItem;
    keepItem.reserve(itemCount);
    bool droppedAny = false;
    WindowsKeyCheck& windows = windowsKeyCheck();

    for (std::size_t c = 0; c < pack.categories.size(); ++c) {
        const ShortcutCategory& category = pack.categories[c];
        if (category.id.empty() || !categoryIDs.insert(category.id)) {
            warnings.push_back(sentence(
                source,
                {": ", pack.id, " has a duplicate or empty category id '", category.id, "'."}));
            keepItem.resize(keepItem.size() + category.items.size(), false);
            droppedAny = true;
            continue;
        }
        std::size_t keptItems = 0;
        for (const ShortcutItem& item : category.items) {
            keepItem.push_back(false);
            // The id is taken before the other tests: a failing item still holds it.
            if (item.id.empty() || !itemIDs.insert(item.id)) {
                warnings.push_back(sentence(
                    source,
                    {": ", pack.id, " has a duplicate or empty shortcut id '", item.id, "'."}));
                continue;
            }
            if (item.keys.empty() || isBlank(item.en) || isBlank(item.zh)) {
                warnings.push_back(
                    sentence(source, {": ", pack.id, "/", item.id, " has an empty key or title."}));
                continue;
            }
            bool windowsOnly = false;
            for (const std::string& key : item.keys) {
                if (windows.isWindowsOnly(key)) {
                    windowsOnly = true;
                    break;
                }
            }
            if (windowsOnly) {
                warnings.push_back(
                    sentence(source, {": ", pack.id, "/", item.id,
                                      " contains a Windows-only key and was skipped."}));
                continue;
            }
            keepItem.back() = true;
            ++keptItems;
        }
        keepCategory[c] = keptItems > 0;
        // A category that came with no items at all drops without a dropped item.
        droppedAny = droppedAny || !keepCategory[c] || keptItems < category.items.size();
    }

    if (std::find(keepCategory.begin(), keepCategory.end(), true) == keepCategory.end()) {
        warnings.push_back(
            sentence(source, {": ", pack.id, " contains no valid shortcut categories."}));
        return std::nullopt;
    }
    if (!droppedAny)
        return pack;

    std::vector<ShortcutCategory> kept;
    std::size_t flat = 0;
    for (std::size_t c = 0; c < pack.categories.size(); ++c) {
        ShortcutCategory& category = pack.categories[c];
        if (!keepCategory[c]) {
            flat += category.items.size();
            continue;
        }
        std::vector<ShortcutItem> items;
        for (ShortcutItem& item : category.items) {
            if (keepItem[flat++])
                items.push_back(std::move(item));
        }
        category.items = std::move(items);
        kept.push_back(std::move(category));
    }
    pack.categories = std::move(kept);
    return pack;
}

SoftwarePack merge(SoftwarePack base, SoftwarePack overlay) {
    SoftwarePack result;
    result.id = std::move(overlay.id);
    result.name = std::move(overlay.name);
    result.vendor = std::move(overlay.vendor);
    result.accent = std::move(overlay.accent);
    result.glyph = std::move(overlay.glyph);
    result.bundleIdentifiers = overlay.bundleIdentifiers ? std::move(overlay.bundleIdentifiers)
                                                         : std::move(base.bundleIdentifiers);
    result.declaredGroup = overlay.declaredGroup ? overlay.declaredGroup : base.declaredGroup;
    result.dataStatus = overlay.dataStatus ? overlay.dataStatus : base.dataStatus;
    result.provenance =
        overlay.provenance ? std::move(overlay.provenance) : std::move(base.provenance);

    result.categories = std::move(base.categories);
    std::unordered_map<std::string, std::size_t> categoryPosition;
    for (std::size_t i = 0; i < result.categories.size(); ++i) {
        categoryPosition.try_emplace(result.categories[i].id, i);
    }
    for (ShortcutCategory& incoming : overlay.categories) {
        const auto found = categoryPosition.find(incoming.id);
        if (found == categoryPosition.end()) {
            categoryPosition.emplace(incoming.id, result.categories.size());
            result.categories.push_back(std::move(incoming));
            continue;
        }
        ShortcutCategory& target = result.categories[found->second];
        target.id = std::move(incoming.id);
        target.zh = std::move(incoming.zh);
        target.en = std::move(incoming.en);
        std::unordered_map<std::string, std::size_t> itemPosition;
        itemPosition.reserve(target.items.size() + incoming.items.size());
        for (std::size_t i = 0; i < target.items.size(); ++i) {
            itemPosition.try_emplace(target.items[i].id, i);
        }
        for (ShortcutItem& item : incoming.items) {
            const auto at = itemPosition.find(item.id);
            if (at != itemPosition.end()) {
                target.items[at->second] = std::move(item);
            } else {
                itemPosition.emplace(item.id, target.items.size());
                target.items.push_back(std::move(item));
            }
        }
    }
    return result;
}

}  // namespace corvanta::detail
