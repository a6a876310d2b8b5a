#pragma once

// Reading a source bitmap at fractional positions, for the scaled and rotated
// blits. Internal to the pixel layer.

#include <cmath>
#include <cstddef>

#include "graphics/LICE_IBitmap.h"

namespace LICE {
namespace detail {

// Samples a region of a source bitmap. Positions are in pixels with pixel
// (x, y) covering [x, x + 1) × [y, y + 1). A position whose pixel lies
// outside the region gives no sample; the bilinear neighbours of a position
// inside it are clamped to the region, so nothing outside it is ever read.
class Sampler {
public:
    // Region [x0, x1) × [y0, y1), already inside the bitmap.
    Sampler(const LICE_IBitmap* src, int x0, int y0, int x1, int y1, bool filter)
        : pixels_(src->Pixels()), span_(src->RowSpan()), x0_(x0), y0_(y0), x1_(x1), y1_(y1), filter_(filter) {}

    bool Empty() const { return pixels_ == nullptr || x0_ >= x1_ || y0_ >= y1_; }

    // False when (u, v) is outside the region (or not a number).
    bool At(double u, double v, LICE_pixel& out) const {
        if (!(u >= x0_ && u < x1_ && v >= y0_ && v < y1_)) {
            return false;
        }
        if (!filter_) {
            out = Pixel(static_cast<int>(u), static_cast<int>(v));
            return true;
        }
        // Bilinear over the 2 × 2 neighbourhood around (u − 0.5, v − 0.5), the
        // fractions in 1/256 steps; products stay below 2^24.
        const double pu = u - 0.5, pv = v - 0.5;
        const double fu = std::floor(pu), fv = std::floor(pv);
        const int fx = static_cast<int>((pu - fu) * 256.0);
        const int fy = static_cast<int>((pv - fv) * 256.0);
        const int ax = Clamp(static_cast<int>(fu), x0_, x1_ - 1), bx = Clamp(static_cast<int>(fu) + 1, x0_, x1_ - 1);
        const int ay = Clamp(static_cast<int>(fv), y0_, y1_ - 1), by = Clamp(static_cast<int>(fv) + 1, y0_, y1_ - 1);
        const LICE_pixel p00 = Pixel(ax, ay), p10 = Pixel(bx, ay), p01 = Pixel(ax, by), p11 = Pixel(bx, by);
        LICE_pixel result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int top = static_cast<int>((p00 >> shift) & 0xFF) * (256 - fx) + static_cast<int>((p10 >> shift) & 0xFF) * fx;
            const int bottom =
                static_cast<int>((p01 >> shift) & 0xFF) * (256 - fx) + static_cast<int>((p11 >> shift) & 0xFF) * fx;
            const int value = (top * (256 - fy) + bottom * fy) >> 16;
            result |= static_cast<LICE_pixel>(value) << shift;
        }
        out = result;
        return true;
    }

private:
    static int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
    LICE_pixel Pixel(int x, int y) const { return pixels_[static_cast<std::ptrdiff_t>(y) * span_ + x]; }

    const LICE_pixel* pixels_;
    std::ptrdiff_t span_;
    int x0_, y0_, x1_, y1_;
    bool filter_;
};

}  // namespace detail
}  // namespace LICE
