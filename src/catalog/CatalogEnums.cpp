// Raw values and titles of the catalog enumerations, and the stored-language rule.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/AppLanguage.h"
#include "catalog/AppTheme.h"
#include "catalog/SettingsKeys.h"
#include "catalog/SoftwareDataStatus.h"
#include "catalog/SoftwareGroup.h"

namespace corvanta {
namespace {

struct GroupRow {
    std::string_view raw;
    std::string_view zh;
    std::string_view en;
};

// Indexed by the enumeration's value, so the rows follow its declaration order.
constexpr std::array<GroupRow, 21> kGroupRows{{
    {"office", "办公软件", "Office"},
    {"study", "学习与科研", "Study & Research"},
    {"design", "设计创意", "Design"},
    {"media", "媒体制作", "Media"},
    {"architecture", "建筑设计", "Architecture"},
    {"engineering", "工程制图", "Engineering"},
    {"modeling", "三维与动画", "3D & Animation"},
    {"simulation", "仿真与计算", "Simulation"},
    {"development", "软件开发", "Development"},
    {"versionControl", "版本控制与 DevOps", "Version Control & DevOps"},
    {"databaseAPI", "数据库与 API", "Database & API"},
    {"dataAI", "数据与智能", "Data & AI"},
    {"electronics", "电子与电气", "Electronics & Electrical"},
    {"biology", "生物科学", "Biological Science"},
    {"chemistry", "化学与材料", "Chemistry & Materials"},
    {"medical", "医学影像", "Medical Imaging"},
    {"gameDevelopment", "游戏开发", "Game Development"},
    {"collaboration", "协作与项目管理", "Collaboration & Projects"},
    {"browser", "浏览器", "Browsers"},
    {"macUtility", "macOS 效率工具", "macOS Utilities"},
    {"other", "浏览器与效率工具", "Browsers & Productivity"},
}};

constexpr std::array<std::string_view, 5> kStatusRaw{"sourceBacked", "curated", "manualReview",
                                                     "legacyReviewed", "catalogOnly"};

template <class Enum, std::size_t N, class Raw>
std::optional<Enum> fromRaw(std::string_view raw, const std::array<Raw, N>& rows,
                            std::string_view (*rawOf)(const Raw&)) {
    for (std::size_t i = 0; i < N; ++i) {
        if (rawOf(rows[i]) == raw)
            return static_cast<Enum>(i);
    }
    return std::nullopt;
}

constexpr std::string_view kEnglishDefaultFlagKey = keys::kEnglishDefault;
constexpr std::string_view kLanguageKey = keys::kLanguage;

}  // namespace

std::string_view rawValue(SoftwareGroup group) {
    return kGroupRows[static_cast<std::size_t>(group)].raw;
}

std::optional<SoftwareGroup> softwareGroupFromRaw(std::string_view raw) {
    return fromRaw<SoftwareGroup>(
        raw, kGroupRows, +[](const GroupRow& row) { return row.raw; });
}

std::string_view title(SoftwareGroup group, AppLanguage language) {
    const GroupRow& row = kGroupRows[static_cast<std::size_t>(group)];
    return language == AppLanguage::zh ? row.zh : row.en;
}

std::string_view rawValue(SoftwareDataStatus status) {
    return kStatusRaw[static_cast<std::size_t>(status)];
}

std::optional<SoftwareDataStatus> softwareDataStatusFromRaw(std::string_view raw) {
    return fromRaw<SoftwareDataStatus>(
        raw, kStatusRaw, +[](const std::string_view& s) { return s; });
}

std::string_view rawValue(AppLanguage language) {
    return language == AppLanguage::zh ? "zh" : "en";
}

std::optional<AppLanguage> appLanguageFromRaw(std::string_view raw) {
    if (raw == "zh")
        return AppLanguage::zh;
    if (raw == "en")
        return AppLanguage::en;
    return std::nullopt;
}

std::string_view rawValue(AppTheme theme) {
    return theme == AppTheme::dark ? "dark" : "light";
}

std::optional<AppTheme> appThemeFromRaw(std::string_view raw) {
    if (raw == "dark")
        return AppTheme::dark;
    if (raw == "light")
        return AppTheme::light;
    return std::nullopt;
}

AppLanguage loadAppLanguage(platform::UserDefaults& defaults) {
    if (defaults.boolForKey(kEnglishDefaultFlagKey)) {
        const std::string stored = defaults.string(kLanguageKey).value_or("en");
        return stored == "zh" ? AppLanguage::zh : AppLanguage::en;
    }
    defaults.setString(kLanguageKey, "en");
    defaults.setBool(kEnglishDefaultFlagKey, true);
    return AppLanguage::en;
}

}  // namespace corvanta
