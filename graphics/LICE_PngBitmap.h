#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "graphics/LICE_IBitmap.h"
#include "graphics/LICE_Resource.h"

// A PNG picture that knows its size from its header and decodes its pixels on
// first use. The window layers hand these to the bitmap cache, so building an
// editor costs one header read per picture, and a picture that is never drawn
// (an editor whose window never opens, an overlay never shown) is never
// decoded.
//
// The first Pixels() call decodes the picture exactly as DecodePng does, into
// a memory bitmap with rows padded to 4 pixels; every later call returns the
// same pixels. When the image data turns out to be damaged, the bitmap keeps
// the size its header gave but has no pixels (Pixels() is null), so every
// drawing operation draws nothing from it. The decode runs once either way: a
// damaged picture stays damaged.
//
// Threads: Pixels() may be called from several threads at once (the editor's
// thread drawing while another builds or draws a second editor that shares
// the cached picture): one of them decodes, the others wait for it, and all
// get the same pixels. Width, Height and RowSpan are fixed from the header;
// only Resize changes them, and, as for every bitmap, only the owner calls it
// while no other thread uses the bitmap.
class LICE_PngBitmap final : public LICE_IBitmap {
public:
    // The picture held in bytes, which must stay valid and unchanged for the
    // bitmap's whole life (a module resource does). Null when ReadPngSize
    // refuses the header.
    static std::unique_ptr<LICE_PngBitmap> FromBytes(const unsigned char* bytes, std::size_t length);
    // The module's resource of type "PNG" with the integer id (see
    // LICE_Resource.h). Null when there is none or its header is refused.
    static std::unique_ptr<LICE_PngBitmap> FromResource(LICE_ModuleHandle instance, int id);

    ~LICE_PngBitmap() override;
    LICE_PngBitmap(const LICE_PngBitmap&) = delete;
    LICE_PngBitmap& operator=(const LICE_PngBitmap&) = delete;

    // Decodes on the first call; null when the image data is damaged.
    LICE_pixel* Pixels() const override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return rowSpan_; }
    // A new size gives up the picture without decoding it: the bitmap becomes
    // a plain memory bitmap of that size (rows padded to 4 pixels, contents
    // undefined, as after every Resize). The same size changes nothing.
    bool Resize(int w, int h) override;

    // Whether the decode has run (successfully or not; Pixels() tells which).
    bool IsDecoded() const { return decoded_.load(std::memory_order_acquire); }

private:
    LICE_PngBitmap(const unsigned char* bytes, std::size_t length, int w, int h);
    void Decode() const noexcept;

    const unsigned char* bytes_;
    std::size_t length_;
    int width_;
    int height_;
    int rowSpan_;
    mutable std::once_flag once_;
    // The pixels: set by the decode (or by Resize), read only after once_.
    mutable std::unique_ptr<LICE_IBitmap> pixels_;
    mutable std::atomic<bool> decoded_{false};
};
