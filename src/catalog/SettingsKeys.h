// The user-defaults keys the catalog reads and writes.
#pragma once

#include <string_view>

namespace corvanta::keys {

inline constexpr std::string_view kSoftware = "CorvantaSoftware";
inline constexpr std::string_view kLanguage = "CorvantaLanguage";
inline constexpr std::string_view kEnglishDefault = "CorvantaEnglishDefaultV2";
inline constexpr std::string_view kTheme = "CorvantaTheme";
inline constexpr std::string_view kPinned = "CorvantaPinned";
inline constexpr std::string_view kFavorites = "CorvantaFavorites";
inline constexpr std::string_view kFeedbackReports = "CorvantaFeedbackReports";
inline constexpr std::string_view kSoftwareRequests = "CorvantaSoftwareRequests";
// Where an unreadable stored list is kept before the first write over it.
inline constexpr std::string_view kUnreadableFeedbackReports = "CorvantaUnreadableFeedbackReports";
inline constexpr std::string_view kUnreadableSoftwareRequests =
    "CorvantaUnreadableSoftwareRequests";

}  // namespace corvanta::keys
