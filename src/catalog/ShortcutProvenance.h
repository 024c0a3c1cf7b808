// Where a pack's data came from: six optional texts that are carried, compared
// and merged but never interpreted.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace corvanta {

struct ShortcutProvenance {
    std::optional<std::string> sourceURL;
    std::optional<std::string> sourceTitle;
    std::optional<std::string> appVersion;
    std::optional<std::string> verifiedAt;  // text, never parsed as a date
    std::optional<std::string> coverage;
    std::optional<std::string> platform;

    bool operator==(const ShortcutProvenance&) const = default;
};

}  // namespace corvanta

template <>
struct std::hash<corvanta::ShortcutProvenance> {
    std::size_t operator()(const corvanta::ShortcutProvenance& value) const noexcept;
};
