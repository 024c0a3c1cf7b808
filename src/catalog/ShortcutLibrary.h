// The top-level record of one catalog file.
#pragma once

#include <vector>

#include "catalog/SoftwarePack.h"

namespace corvanta {

struct ShortcutLibrary {
    std::vector<SoftwarePack> software;
};

}  // namespace corvanta
