// Display numbers and the y-down/y-up conversion.
#include "platform/qt/ScreenInfo.h"

namespace corvanta::platform {

std::uint32_t displayIDFor(std::string_view name, std::string_view manufacturer,
                           std::string_view model, std::string_view serialNumber) {
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](std::string_view text) {
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 16777619u;
        }
        // A separator byte, so ("ab", "c") and ("a", "bc") differ.
        hash ^= 0xFFu;
        hash *= 16777619u;
    };
    mix(name);
    mix(manufacturer);
    mix(model);
    mix(serialNumber);
    return hash == 0 ? 1 : hash;
}

Rect yUpFromYDown(const Rect& r, const Rect& primary) {
    return makeRect(r.minX() - primary.minX(), primary.maxY() - r.minY() - r.height(), r.width(),
                    r.height());
}

Rect yDownFromYUp(const Rect& r, const Rect& primary) {
    return makeRect(r.minX() + primary.minX(), primary.maxY() - r.minY() - r.height(), r.width(),
                    r.height());
}

}  // namespace corvanta::platform
