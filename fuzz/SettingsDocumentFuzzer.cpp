// Any bytes found in the settings file are read or refused without a crash,
// the fast route for known values decides as the general route does, and what
// is read is written back in a form that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/foundation/SettingsDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvanta::platform::SettingsDocument;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto document = SettingsDocument::parse(text);
    const auto general = SettingsDocument::parseGeneral(text);
    if (document.has_value() != general.has_value() ||
        (document && (document->serialize() != general->serialize() ||
                      document->preserved != general->preserved))) {
        std::abort();
    }
    if (!document)
        return 0;
    const std::string written = document->serialize();
    const auto reread = SettingsDocument::parse(written);
    if (!reread || reread->preserved != document->preserved || reread->serialize() != written) {
        std::abort();
    }
    return 0;
}
