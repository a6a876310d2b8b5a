#pragma once

#include <cstddef>
#include <vector>

#include "graphics/LICE_IBitmap.h"

// A bitmap set inside a larger block whose margin (rows above and below,
// columns left and right, and the row padding) holds a sentinel colour, so a
// test can tell whether an operation wrote outside the bitmap or read from
// outside it.
class GuardedBitmap final : public LICE_IBitmap {
public:
    static constexpr LICE_pixel kSentinel = 0x5A17C0DEu;
    static constexpr int kMargin = 8;

    GuardedBitmap(int w, int h, LICE_pixel fill)
        : width_(w), height_(h), span_(w + 2 * kMargin + 3),
          block_(static_cast<std::size_t>(span_) * static_cast<std::size_t>(h + 2 * kMargin), kSentinel) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Pixels()[y * span_ + x] = fill;
            }
        }
    }

    LICE_pixel* Pixels() const override {
        return const_cast<LICE_pixel*>(block_.data()) + kMargin * span_ + kMargin;
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return span_; }
    bool Resize(int, int) override { return false; }

    LICE_pixel At(int x, int y) const { return Pixels()[y * span_ + x]; }
    void Set(int x, int y, LICE_pixel p) { Pixels()[y * span_ + x] = p; }

    // True when every pixel outside the bitmap still holds the sentinel.
    bool MarginIntact() const {
        const LICE_pixel* base = Pixels();
        for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(block_.size()); ++i) {
            const std::ptrdiff_t rel = i - (base - block_.data());
            const std::ptrdiff_t y = rel >= 0 ? rel / span_ : -1;
            const std::ptrdiff_t x = rel >= 0 ? rel % span_ : -1;
            const bool inside = rel >= 0 && y < height_ && x < width_;
            if (!inside && block_[static_cast<std::size_t>(i)] != kSentinel) {
                return false;
            }
        }
        return true;
    }

    // True when no pixel inside holds the sentinel (nothing was copied in from
    // a source's margin).
    bool NoSentinelInside() const {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == kSentinel) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    int width_;
    int height_;
    int span_;
    std::vector<LICE_pixel> block_;
};
