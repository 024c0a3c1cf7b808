// Font configuration read ahead; see FontConfiguration.h.
#include "platform/qt/FontConfiguration.h"

#include <fontconfig/fontconfig.h>

namespace corvanta::platform {

std::jthread preloadFontConfiguration() {
    // Loading is atomic in fontconfig: a concurrent first use either finds the
    // configuration or loads its own and keeps the one that landed first.
    return std::jthread([] { FcInit(); });
}

}  // namespace corvanta::platform
