// Any text gives a colour without a crash, and a leading "#" never changes it
// (non-alphanumeric characters at the ends are trimmed).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/foundation/ColorString.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvanta::platform::parseColorString;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (parseColorString(text) != parseColorString("#" + std::string(text)))
        std::abort();
    return 0;
}
