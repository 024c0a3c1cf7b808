// Geometry values in a y-up coordinate space (origin at the bottom-left of the
// primary screen) and their text forms "{w, h}", "{x, y}", "{{x, y}, {w, h}}".
#pragma once

#include <string>
#include <string_view>

namespace corvanta::platform {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    bool isEmpty() const { return size.width <= 0 || size.height <= 0; }
    // Half-open: a point on the right or top edge is not inside.
    bool contains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }
    bool intersects(const Rect& other) const;
    Rect intersection(const Rect& other) const;

    bool operator==(const Rect&) const = default;
};

inline Rect makeRect(double x, double y, double w, double h) {
    return Rect{{x, y}, {w, h}};
}

// Numbers are written in shortest round-trip form, so they read back exactly.
std::string stringFromPoint(Point p);
std::string stringFromSize(Size s);
std::string stringFromRect(const Rect& r);
// As tolerant as the originals: numbers are read in order wherever they stand,
// and whatever is missing reads as 0.
Point pointFromString(std::string_view text);
Size sizeFromString(std::string_view text);
Rect rectFromString(std::string_view text);

}  // namespace corvanta::platform
