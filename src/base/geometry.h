// Points, sizes and rectangles of pixels, in whatever space the caller works in: a board, a
// panel, a window's client area or the screen.
#pragma once

#include <cstdint>

namespace kelvora {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const Size&) const = default;
};

// A rectangle of pixels: left and top included, width and height counted from there.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    int32_t Right() const { return left + width; }
    int32_t Bottom() const { return top + height; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && y >= top && x < Right() && y < Bottom();
    }
    bool operator==(const Rect&) const = default;
};

Rect Intersect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty one counts as nothing.
Rect Union(const Rect& a, const Rect& b);

}  // namespace kelvora
