// The colour theme of the interface.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "catalog/EnumCases.h"

namespace corvanta {

enum class AppTheme { dark, light };

template <>
constexpr auto allCases<AppTheme>() {
    return std::array{AppTheme::dark, AppTheme::light};
}

std::string_view rawValue(AppTheme theme);
std::optional<AppTheme> appThemeFromRaw(std::string_view raw);

}  // namespace corvanta
