// The locally kept feedback reports and software requests and their stored
// form: a compact JSON array of records, oldest first, as a data value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Uuid.h"

namespace corvanta::detail {

struct StoredFeedbackReport {
    platform::Uuid id;
    std::string message;
    std::string contact;
    std::string softwareID;
    std::string language;
    platform::Date submittedAt;

    bool operator==(const StoredFeedbackReport&) const = default;
};

struct StoredSoftwareRequest {
    platform::Uuid id;
    std::string group;
    std::string softwareName;
    std::string contact;
    platform::Date submittedAt;

    bool operator==(const StoredSoftwareRequest&) const = default;
};

inline constexpr std::size_t kStoredSubmissionLimit = 100;

// Nothing when the bytes are not such a list (any missing key, wrong type or
// malformed id makes the whole list unreadable).
std::optional<std::vector<StoredFeedbackReport>> decodeFeedbackReports(const platform::Data& data);
std::optional<std::vector<StoredSoftwareRequest>> decodeSoftwareRequests(
    const platform::Data& data);
// Nothing when a text cannot be encoded (it is not valid UTF-8).
std::optional<platform::Data> encode(const std::vector<StoredFeedbackReport>& reports);
std::optional<platform::Data> encode(const std::vector<StoredSoftwareRequest>& requests);

}  // namespace corvanta::detail
