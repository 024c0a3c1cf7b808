// Any bytes given to the catalog decoder give a library or an error message,
// never a crash; one decoder is reused, as the loader does across files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalog/CatalogDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static corvanta::CatalogDecoder decoder;
    const auto result = decoder.decode(std::string_view(reinterpret_cast<const char*>(data), size));
    // A failure always says what went wrong.
    if (!result.ok() && result.error.empty())
        std::abort();
    return 0;
}
