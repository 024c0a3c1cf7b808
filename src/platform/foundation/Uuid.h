// Random version-4 UUIDs and their canonical upper-case text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta::platform {

struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    static Uuid random();
    // Accepts the 8-4-4-4-12 hexadecimal form in either letter case.
    static std::optional<Uuid> fromString(std::string_view text);
    // "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"
    std::string uuidString() const;

    bool operator==(const Uuid&) const = default;
};

}  // namespace corvanta::platform
