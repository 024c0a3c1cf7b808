// The interface language, and the one-time reset of the stored language to
// English at start-up.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "catalog/EnumCases.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {

enum class AppLanguage { zh, en };

template <>
constexpr auto allCases<AppLanguage>() {
    return std::array{AppLanguage::zh, AppLanguage::en};
}

std::string_view rawValue(AppLanguage language);
std::optional<AppLanguage> appLanguageFromRaw(std::string_view raw);

// Reads the stored language; on the first run with this rule (no
// "CorvantaEnglishDefaultV2" flag) it stores English and sets the flag.
AppLanguage loadAppLanguage(platform::UserDefaults& defaults);

}  // namespace corvanta
