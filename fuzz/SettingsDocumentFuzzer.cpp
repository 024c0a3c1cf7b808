// Any bytes found in the settings file are read or refused without a crash,
// and what is read is written back in a form that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/SettingsDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvanta::platform::SettingsDocument;
    const auto document =
        SettingsDocument::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!document)
        return 0;
    const std::string written = document->serialize();
    const auto reread = SettingsDocument::parse(written);
    if (!reread || reread->preserved != document->preserved || reread->serialize() != written) {
        std::abort();
    }
    return 0;
}
