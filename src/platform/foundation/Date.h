// Points in time as seconds since 2001-01-01T00:00:00Z, the reference date of
// the stored formats.
#pragma once

namespace corvanta::platform {

struct Date {
    double timeIntervalSinceReferenceDate = 0;

    static Date now();
    // Seconds between 1970-01-01 and 2001-01-01.
    static constexpr double kUnixToReference = 978307200.0;

    bool operator==(const Date&) const = default;
};

}  // namespace corvanta::platform
