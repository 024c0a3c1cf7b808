// Random version-4 UUIDs and the strict parser of their canonical text form.
#include "platform/foundation/Uuid.h"

#include <random>

#include "platform/foundation/Text.h"

namespace corvanta::platform {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isHyphenPosition(size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

}  // namespace

Uuid Uuid::random() {
    std::random_device device;
    Uuid uuid;
    for (size_t i = 0; i < uuid.bytes.size(); i += 4) {
        const std::uint32_t word = device();
        for (size_t k = 0; k < 4; ++k) {
            uuid.bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
    uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x40);  // version 4
    uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return uuid;
}

std::optional<Uuid> Uuid::fromString(std::string_view text) {
    if (text.size() != 36)
        return std::nullopt;
    Uuid uuid;
    size_t byte = 0;
    for (size_t i = 0; i < text.size();) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int high = corvanta::text::hexDigitValue(text[i]);
        const int low = corvanta::text::hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0 || isHyphenPosition(i + 1))
            return std::nullopt;
        uuid.bytes[byte++] = static_cast<std::uint8_t>((high << 4) | low);
        i += 2;
    }
    return uuid;
}

std::string Uuid::uuidString() const {
    std::string out;
    out.reserve(36);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 0x0F];
    }
    return out;
}

}  // namespace corvanta::platform
