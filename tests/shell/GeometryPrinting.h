// Readable test failure messages for geometry values.
#pragma once

#include <ostream>

#include "platform/foundation/Geometry.h"

namespace corvanta::platform {

inline void PrintTo(const Point& p, std::ostream* os) {
    *os << stringFromPoint(p);
}
inline void PrintTo(const Size& s, std::ostream* os) {
    *os << stringFromSize(s);
}
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << stringFromRect(r);
}

}  // namespace corvanta::platform
