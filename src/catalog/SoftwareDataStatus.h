// How far a pack's data has been verified; only `catalogOnly` changes behaviour
// (such a pack is listed but shows no shortcuts).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "catalog/EnumCases.h"

namespace corvanta {

enum class SoftwareDataStatus { sourceBacked, curated, manualReview, legacyReviewed, catalogOnly };

template <>
constexpr auto allCases<SoftwareDataStatus>() {
    using enum SoftwareDataStatus;
    return std::array{sourceBacked, curated, manualReview, legacyReviewed, catalogOnly};
}

std::string_view rawValue(SoftwareDataStatus status);
std::optional<SoftwareDataStatus> softwareDataStatusFromRaw(std::string_view raw);

}  // namespace corvanta
