// Deterministic generation, so that runs compare.
#include "SyntheticCatalog.h"

#include <fstream>
#include <random>

#include <nlohmann/json.hpp>

#include "catalog/CatalogLoading.h"

namespace corvanta::bench {
namespace {

using Json = nlohmann::ordered_json;

const std::vector<std::pair<std::string, std::string>> kActions = {
    {"保存", "Save"},
    {"另存为", "Save as"},
    {"打开文件", "Open file"},
    {"关闭窗口", "Close window"},
    {"撤销", "Undo"},
    {"重做", "Redo"},
    {"复制", "Copy"},
    {"粘贴", "Paste"},
    {"剪切", "Cut"},
    {"全选", "Select all"},
    {"查找", "Find"},
    {"替换", "Replace"},
    {"放大", "Zoom in"},
    {"缩小", "Zoom out"},
    {"适合窗口", "Fit to window"},
    {"新建图层", "New layer"},
    {"合并图层", "Merge layers"},
    {"切换侧边栏", "Toggle sidebar"},
    {"运行", "Run"},
    {"调试", "Debug"},
    {"格式化代码", "Format code"},
    {"注释行", "Comment line"},
    {"跳转到定义", "Go to definition"},
    {"重命名符号", "Rename symbol"},
    {"插入表格", "Insert table"},
    {"加粗", "Bold"},
    {"斜体", "Italic"},
    {"下划线", "Underline"},
    {"对齐左侧", "Align left"},
    {"居中对齐", "Align center"},
    {"播放或暂停", "Play or pause"},
    {"添加标记", "Add marker"},
    {"分割片段", "Split clip"},
    {"旋转视图", "Rotate view"},
    {"平移视图", "Pan view"},
    {"显示网格", "Show grid"},
    {"提交更改", "Commit changes"},
    {"推送到远程", "Push to remote"},
    {"新建标签页", "New tab"},
    {"重新打开关闭的标签页", "Reopen closed tab"},
};
const std::vector<std::string> kModifiers = {"⌘", "⌥", "⌃", "⇧"};
const std::vector<std::string> kKeys = {
    "A", "B", "C", "D", "E", "F", "G", "K",   "L",     "N",   "O",  "P",    "R",   "S",
    "T", "V", "W", "X", "Z", "1", "2", "[",   "]",     "/",   "\\", ",",    ".",   "+",
    "-", "←", "→", "↑", "↓", "↩", "⌫", "Tab", "Space", "Esc", "F5", "拖动", "滚轮"};
const std::vector<std::string> kTags = {
    "file", "edit",       "view",  "layer",    "text",  "selection", "文件", "编辑",   "视图",
    "图层", "navigation", "debug", "timeline", "brush", "git",       "tab",  "window", "导航"};
const std::vector<std::pair<std::string, std::string>> kCategories = {
    {"文件", "File"},      {"编辑", "Edit"},       {"视图", "View"},  {"选择", "Selection"},
    {"图层", "Layers"},    {"导航", "Navigation"}, {"工具", "Tools"}, {"窗口", "Window"},
    {"调试", "Debugging"}, {"时间线", "Timeline"},
};

template <class T>
const T& pick(std::mt19937& random, const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

Json makePack(std::mt19937& random, const std::string& id, int shortcuts, int firstItem,
              std::vector<std::string>& texts) {
    Json categories = Json::array();
    const int perCategory = 8;
    for (int made = 0, c = 0; made < shortcuts; ++c) {
        const auto& [czh, cen] = kCategories[static_cast<std::size_t>(c) % kCategories.size()];
        Json items = Json::array();
        for (int i = 0; i < perCategory && made < shortcuts; ++i, ++made) {
            const auto& [zh, en] = pick(random, kActions);
            std::vector<std::string> keys;
            const int modifiers = std::uniform_int_distribution<int>(0, 3)(random);
            for (int m = 0; m < modifiers; ++m)
                keys.push_back(kModifiers[static_cast<std::size_t>(m)]);
            keys.push_back(pick(random, kKeys));
            std::vector<std::string> tags{pick(random, kTags), pick(random, kTags)};
            Json item{{"id", "item" + std::to_string(firstItem + made)},
                      {"keys", keys},
                      {"zh", zh + "。"},
                      {"en", en + " the selection"},
                      {"tags", tags}};
            if (made % 5 == 0)
                item["keysEn"] = std::vector<std::string>{"Ctrl", "Shift", keys.back()};
            texts.push_back(zh);
            texts.push_back(en + " the selection");
            for (const auto& k : keys) texts.push_back(k);
            for (const auto& t : tags) texts.push_back(t);
            items.push_back(std::move(item));
        }
        categories.push_back(
            {{"id", "cat" + std::to_string(c)}, {"zh", czh}, {"en", cen}, {"items", items}});
        texts.push_back(czh + " " + cen);
    }
    return Json{
        {"id", id},
        {"name", "Application " + id},
        {"vendor", "Vendor Inc."},
        {"accent", "#3A7BD5"},
        {"glyph", "A"},
        {"bundleIdentifiers", {"com.example." + id, "Example-" + id}},
        {"group", "development"},
        {"dataStatus", "curated"},
        {"categories", categories},
        {"provenance", {{"sourceURL", "https://example.org/" + id}, {"verifiedAt", "2024-05-01"}}}};
}

}  // namespace

SyntheticCatalog writeSyntheticCatalog(const std::filesystem::path& root, int packs,
                                       int shortcutsPerPack) {
    std::filesystem::create_directories(root);
    std::mt19937 random(42);
    SyntheticCatalog catalog{root, "pack0", {}};
    std::vector<Json> files(detail::kCatalogResources.size(), Json::array());
    for (int p = 0; p < packs; ++p) {
        const std::string id = "pack" + std::to_string(p);
        // The first pack is the largest; sizes vary around the average.
        const int count = p == 0 ? shortcutsPerPack * 3
                                 : std::uniform_int_distribution<int>(
                                       shortcutsPerPack / 2, shortcutsPerPack * 3 / 2)(random);
        const std::size_t file = static_cast<std::size_t>(p) % files.size();
        files[file].push_back(makePack(random, id, count, 0, catalog.texts));
        // Every fourth pack gets a later version: alternately merged (extended
        // file) and replacing (curated file).
        const std::size_t later = p % 8 == 0 ? 8 : 9;
        if (p % 4 == 0 && file < later) {
            files[later].push_back(makePack(random, id, count / 4, count, catalog.texts));
        }
    }
    const auto folder = root / detail::kCatalogSubdirectory;
    std::filesystem::create_directories(folder);
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string name(detail::kCatalogResources[f].name);
        std::ofstream(folder / (name + ".json"), std::ios::binary)
            << Json{{"software", files[f]}}.dump(2);
    }
    return catalog;
}

void writeRepeatedCatalog(const std::filesystem::path& root,
                          const std::filesystem::path& shippedResources, int times) {
    std::filesystem::create_directories(root / detail::kCatalogSubdirectory);
    for (const auto& resource : detail::kCatalogResources) {
        const std::string file = std::string(resource.name) + ".json";
        std::ifstream in(shippedResources / detail::kCatalogSubdirectory / file);
        if (!in)
            continue;
        Json catalog = Json::parse(in);
        Json packs = Json::array();
        for (int copy = 0; copy < times; ++copy) {
            for (Json pack : catalog["software"]) {
                if (copy > 0) {
                    const std::string suffix = std::to_string(copy);
                    pack["id"] = pack["id"].get<std::string>() + "-" + suffix;
                    pack["name"] = pack["name"].get<std::string>() + " " + suffix;
                    pack.erase("bundleIdentifiers");
                }
                packs.push_back(std::move(pack));
            }
        }
        catalog["software"] = std::move(packs);
        std::ofstream(root / detail::kCatalogSubdirectory / file) << catalog.dump();
    }
}

}  // namespace corvanta::bench
