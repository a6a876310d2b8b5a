#include "graphics/LICE_PngBitmap.h"

#include <new>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Png.h"

namespace {
// DecodePng makes its bitmaps with rows padded to 4 pixels; RowSpan must say
// the same before the pixels exist.
constexpr int kRowAlign = 4;

int PaddedRow(int w) { return (w + kRowAlign - 1) & ~(kRowAlign - 1); }
}  // namespace

std::unique_ptr<LICE_PngBitmap> LICE_PngBitmap::FromBytes(const unsigned char* bytes, std::size_t length) {
    int w = 0;
    int h = 0;
    if (!LICE::ReadPngSize(bytes, length, &w, &h)) {
        return nullptr;
    }
    return std::unique_ptr<LICE_PngBitmap>(new (std::nothrow) LICE_PngBitmap(bytes, length, w, h));
}

std::unique_ptr<LICE_PngBitmap> LICE_PngBitmap::FromResource(LICE_ModuleHandle instance, int id) {
    const LICE::ResourceBytes resource = LICE::FindModuleResource(instance, "PNG", id);
    return FromBytes(resource.data, resource.size);
}

LICE_PngBitmap::LICE_PngBitmap(const unsigned char* bytes, std::size_t length, int w, int h)
    : bytes_(bytes), length_(length), width_(w), height_(h), rowSpan_(PaddedRow(w)) {}

LICE_PngBitmap::~LICE_PngBitmap() = default;

LICE_pixel* LICE_PngBitmap::Pixels() const {
    // After the first call only the flag is read; the pixels were published
    // before it was raised.
    if (!decoded_.load(std::memory_order_acquire)) {
        std::call_once(once_, [this] { Decode(); });
    }
    return pixels_ ? pixels_->Pixels() : nullptr;
}

void LICE_PngBitmap::Decode() const noexcept {
    std::unique_ptr<LICE_IBitmap> decoded(LICE::DecodePng(bytes_, length_, nullptr));
    // Only the picture the header promised, laid out as RowSpan already said,
    // may stand behind this bitmap's size; anything else counts as damaged.
    if (decoded && decoded->Pixels() != nullptr && decoded->Width() == width_ && decoded->Height() == height_ &&
        decoded->RowSpan() == rowSpan_) {
        pixels_ = std::move(decoded);
    }
    decoded_.store(true, std::memory_order_release);
}

bool LICE_PngBitmap::Resize(int w, int h) {
    if (w == width_ && h == height_) {
        return false;
    }
    // The picture is given up: no later Pixels() call decodes it.
    std::call_once(once_, [] {});
    if (!pixels_) {
        pixels_.reset(new (std::nothrow) LICE_MemBitmap(0, 0, kRowAlign));
    }
    if (pixels_) {
        pixels_->Resize(w, h);
        width_ = pixels_->Width();
        height_ = pixels_->Height();
        rowSpan_ = pixels_->RowSpan();
    } else {
        width_ = height_ = rowSpan_ = 0;
    }
    return true;
}
