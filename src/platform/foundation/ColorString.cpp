// Colour strings; see ColorString.h.
#include "platform/foundation/ColorString.h"

#include <limits>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/foundation/Text.h"

namespace corvanta::platform {

namespace {

bool isAlphanumeric(UChar32 c) {
    // Letters, marks and numbers of every script, as the platform's
    // alphanumeric set counts them.
    const auto mask = U_GET_GC_MASK(c);
    return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK)) != 0;
}

std::string_view trimNonAlphanumeric(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t begin = 0;
    while (begin < length) {
        std::int32_t next = begin;
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        if (c >= 0 && isAlphanumeric(c))
            break;
        begin = next;
    }
    std::int32_t end = length;
    while (end > begin) {
        std::int32_t previous = end;
        UChar32 c;
        U8_PREV(bytes, begin, previous, c);
        if (c >= 0 && isAlphanumeric(c))
            break;
        end = previous;
    }
    return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

}  // namespace

Rgb8 parseColorString(std::string_view text) {
    std::string_view digits = trimNonAlphanumeric(text);
    if (digits.size() >= 3 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') &&
        text::hexDigitValue(digits[2]) >= 0)
        digits.remove_prefix(2);

    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = text::hexDigitValue(c);
        if (digit < 0)
            break;
        // The platform scanner saturates instead of wrapping.
        value = value > (kMax >> 4) ? kMax : (value << 4) | static_cast<std::uint64_t>(digit);
    }
    return Rgb8{static_cast<std::uint8_t>((value >> 16) & 0xFF),
                static_cast<std::uint8_t>((value >> 8) & 0xFF),
                static_cast<std::uint8_t>(value & 0xFF)};
}

}  // namespace corvanta::platform
