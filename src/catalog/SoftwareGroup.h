// The software family of a pack: 21 groups in display order, each with a
// Chinese and an English title.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "catalog/AppLanguage.h"
#include "catalog/EnumCases.h"

namespace corvanta {

enum class SoftwareGroup {
    office,
    study,
    design,
    media,
    architecture,
    engineering,
    modeling,
    simulation,
    development,
    versionControl,
    databaseAPI,
    dataAI,
    electronics,
    biology,
    chemistry,
    medical,
    gameDevelopment,
    collaboration,
    browser,
    macUtility,
    other,
};

template <>
constexpr auto allCases<SoftwareGroup>() {
    using enum SoftwareGroup;
    return std::array{office,      study,           design,        media,       architecture,
                      engineering, modeling,        simulation,    development, versionControl,
                      databaseAPI, dataAI,          electronics,   biology,     chemistry,
                      medical,     gameDevelopment, collaboration, browser,     macUtility,
                      other};
}

std::string_view rawValue(SoftwareGroup group);
// Exact, case-sensitive match of a raw value; nothing for any other text.
std::optional<SoftwareGroup> softwareGroupFromRaw(std::string_view raw);
std::string_view title(SoftwareGroup group, AppLanguage language);

}  // namespace corvanta
