#pragma once

#include <algorithm>
#include <cstdint>

// An integer rectangle in editor pixels: origin at the editor's top-left
// corner, y growing downwards, right and bottom exclusive. The rectangle whose
// four values are all 0 is the empty rectangle; every test treats it apart.
class IBounds {
public:
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr IBounds() = default;
    constexpr IBounds(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    constexpr bool Contains(int32_t x, int32_t y) const {
        return !IsEmpty() && left <= x && x < right && top <= y && y < bottom;
    }

    // Whether a and b overlap. The test is inclusive on a's right and bottom
    // edges and exclusive on its left and top edges, so a rectangle that only
    // touches b's left or top edge from outside counts as intersecting: the
    // redraw then errs towards drawing a neighbour once too often.
    static constexpr bool Intersects(const IBounds& a, const IBounds& b) {
        return !a.IsEmpty() && !b.IsEmpty() && a.right >= b.left && a.left < b.right &&
               a.bottom >= b.top && a.top < b.bottom;
    }

    static constexpr IBounds Intersection(const IBounds& a, const IBounds& b) {
        if (!Intersects(a, b)) return IBounds();
        return IBounds(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom));
    }

    static constexpr IBounds Union(const IBounds& a, const IBounds& b) {
        if (a.IsEmpty()) return b;
        if (b.IsEmpty()) return a;
        return IBounds(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                       std::max(a.bottom, b.bottom));
    }

    constexpr IBounds Offset(int32_t dx, int32_t dy) const {
        return IBounds(left + dx, top + dy, right + dx, bottom + dy);
    }

    constexpr bool operator==(const IBounds& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const IBounds& o) const { return !(*this == o); }
};
