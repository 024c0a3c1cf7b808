// Any text, valid UTF-8 or not, normalises without a crash, and appending the
// normalised form gives what normalize() returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalog/Normalize.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string normalized = corvanta::normalize(text);
    std::string appended = "x";
    corvanta::appendNormalized(text, appended);
    if (appended != "x" + normalized)
        std::abort();
    return 0;
}
