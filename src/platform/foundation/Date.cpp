// The current time on the reference-date scale of the stored formats.
#include "platform/foundation/Date.h"

#include <chrono>

namespace corvanta::platform {

Date Date::now() {
    const auto sinceUnix = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(sinceUnix).count();
    return Date{seconds - kUnixToReference};
}

}  // namespace corvanta::platform
