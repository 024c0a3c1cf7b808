// Rectangle intersection and the text forms of points, sizes and rectangles.
#include "platform/foundation/Geometry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace corvanta::platform {
namespace {

void appendNumber(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string pair(double a, double b) {
    std::string out = "{";
    appendNumber(out, a);
    out += ", ";
    appendNumber(out, b);
    out += '}';
    return out;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads up to `count` decimal numbers in order, skipping whatever stands
// between them; the rest stay 0. Only finite numbers are taken, so a stored
// frame can never bring an infinity or NaN into window arithmetic.
template <size_t N>
std::array<double, N> scanNumbers(std::string_view text) {
    std::array<double, N> numbers{};
    size_t found = 0;
    const char* p = text.data();
    const char* const end = text.data() + text.size();
    while (p < end && found < N) {
        const char* start = p;
        if (*start == '+' && start + 1 < end)
            ++start;
        const bool startsNumber =
            isDigit(*start) ||
            ((*start == '-' || *start == '.') && start + 1 < end &&
             (isDigit(start[1]) || (start[1] == '.' && start + 2 < end && isDigit(start[2]))));
        if (!startsNumber) {
            ++p;
            continue;
        }
        double value = 0;
        const auto result = std::from_chars(start, end, value);
        if (result.ptr == start) {
            ++p;
            continue;
        }
        numbers[found++] = (result.ec == std::errc() && std::isfinite(value)) ? value : 0;
        p = result.ptr;
    }
    return numbers;
}

}  // namespace

bool Rect::intersects(const Rect& other) const {
    if (isEmpty() || other.isEmpty())
        return false;
    return minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY() &&
           other.minY() < maxY();
}

Rect Rect::intersection(const Rect& other) const {
    if (!intersects(other))
        return Rect{};
    const double x = std::max(minX(), other.minX());
    const double y = std::max(minY(), other.minY());
    return makeRect(x, y, std::min(maxX(), other.maxX()) - x, std::min(maxY(), other.maxY()) - y);
}

std::string stringFromPoint(Point p) {
    return pair(p.x, p.y);
}

std::string stringFromSize(Size s) {
    return pair(s.width, s.height);
}

std::string stringFromRect(const Rect& r) {
    return "{" + stringFromPoint(r.origin) + ", " + stringFromSize(r.size) + "}";
}

Point pointFromString(std::string_view text) {
    const auto n = scanNumbers<2>(text);
    return Point{n[0], n[1]};
}

Size sizeFromString(std::string_view text) {
    const auto n = scanNumbers<2>(text);
    return Size{n[0], n[1]};
}

Rect rectFromString(std::string_view text) {
    const auto n = scanNumbers<4>(text);
    return makeRect(n[0], n[1], n[2], n[3]);
}

}  // namespace corvanta::platform
