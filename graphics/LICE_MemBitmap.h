#pragma once

#include <cstddef>

#include "graphics/LICE_IBitmap.h"

// A bitmap whose pixels live on the heap. The buffer starts on a 64-byte
// boundary, rows are padded to the row alignment, and the buffer only grows
// (by a quarter more than asked), so repeated resizing seldom reallocates.
class LICE_MemBitmap final : public LICE_IBitmap {
public:
    // lineAlign: rows are padded to a multiple of this many pixels (its lowest
    // set bit, at most 16; below 2 means no padding). The editor uses 4.
    explicit LICE_MemBitmap(int w = 0, int h = 0, int lineAlign = 4);
    ~LICE_MemBitmap() override;
    LICE_MemBitmap(const LICE_MemBitmap&) = delete;
    LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

    LICE_pixel* Pixels() const override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return (width_ + rowMask_) & ~rowMask_; }
    // 1. Same size: false. 2. Otherwise bytes = h × RowSpan × 4; a buffer
    // smaller than that grows to bytes / 4 × 5 (+63 for the alignment); a
    // larger one is kept. 3. A size of no bytes (or a negative or impossibly
    // large one) frees the buffer. Without a buffer the size is 0 × 0. True.
    bool Resize(int w, int h) override;

    // Bytes usable from Pixels() on.
    std::size_t AllocatedBytes() const { return allocated_; }

private:
    unsigned char* buffer_ = nullptr;  // malloc'd, 63 spare bytes for the alignment
    std::size_t allocated_ = 0;
    int width_ = 0;
    int height_ = 0;
    int rowMask_ = 0;  // row alignment in pixels minus one
};
