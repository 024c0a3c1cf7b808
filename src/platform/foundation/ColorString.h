// Colour strings ("#1A1A1A") read the forgiving way the catalog's accents and
// the palette need: every string gives a colour, nothing is rejected.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvanta::platform {

struct Rgb8 {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb8&) const = default;
};

// Trims every non-alphanumeric character (of any script) from both ends, reads
// an optional 0x prefix and then hexadecimal digits up to the first other
// character into an unsigned 64-bit value that saturates on overflow, and keeps
// its low 24 bits as red, green and blue. Text without leading hex digits gives
// black.
Rgb8 parseColorString(std::string_view text);

}  // namespace corvanta::platform
