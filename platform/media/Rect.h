// A rectangle in the toolbox's order: top, left, bottom, right. The
// bottom and right edges lie outside the rectangle, so the width is
// right - left.
#pragma once

#include <cstdint>

struct Rect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;

    int Width() const { return int(right) - int(left); }
    int Height() const { return int(bottom) - int(top); }
    bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }

    friend bool operator==(const Rect& a, const Rect& b) {
        return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
    }
};

// A rectangle from its corner and size.
inline Rect MakeRect(int left, int top, int width, int height) {
    return Rect{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
}
