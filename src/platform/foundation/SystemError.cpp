// See SystemError.h.
#include "platform/foundation/SystemError.h"

#include <string.h>

namespace corvanta::platform {
namespace {

// strerror_r comes in two shapes: the GNU one returns the text, which may or
// may not be in the buffer; the POSIX one fills the buffer and returns 0.
[[maybe_unused]] const char* errorTextFrom(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* errorTextFrom(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}

}  // namespace

std::string systemErrorText(int code) {
    char buffer[256] = {};
    if (const char* text = errorTextFrom(::strerror_r(code, buffer, sizeof buffer), buffer))
        return text;
    return "error " + std::to_string(code);
}

}  // namespace corvanta::platform
