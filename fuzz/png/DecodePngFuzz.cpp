// Feeds arbitrary bytes to the PNG decoder, both into a new bitmap and into a
// bitmap given by the caller, and to a picture that reads its header first and
// decodes on first use. The decoder must never crash, leak or touch memory it
// does not own, and a picture it accepts must be as large as it says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Png.h"
#include "graphics/LICE_PngBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<LICE_IBitmap> fresh(LICE::DecodePng(data, size, nullptr));
    if (fresh != nullptr) {
        const int w = fresh->Width(), h = fresh->Height();
        if (w <= 0 || h <= 0 || fresh->Pixels() == nullptr) {
            std::abort();
        }
        // Touch the last pixel: the rows really are there.
        volatile LICE_pixel last = fresh->Pixels()[(h - 1) * fresh->RowSpan() + (w - 1)];
        (void)last;
    }
    LICE_MemBitmap given(3, 5, 4);
    LICE_IBitmap* into = LICE::DecodePng(data, size, &given);
    if (into != nullptr && into != &given) {
        std::abort();
    }
    // Whatever decodes has a header that reads, with the same size; the lazy
    // picture has pixels exactly when the decoder accepts the bytes.
    std::unique_ptr<LICE_PngBitmap> lazy = LICE_PngBitmap::FromBytes(data, size);
    if (lazy == nullptr) {
        if (fresh != nullptr) {
            std::abort();
        }
        return 0;
    }
    const int w = lazy->Width(), h = lazy->Height();
    const LICE_pixel* pixels = lazy->Pixels();
    if (w <= 0 || h <= 0 || (pixels != nullptr) != (fresh != nullptr)) {
        std::abort();
    }
    if (pixels != nullptr) {
        if (w != fresh->Width() || h != fresh->Height()) {
            std::abort();
        }
        volatile LICE_pixel last = pixels[(h - 1) * lazy->RowSpan() + (w - 1)];
        (void)last;
    }
    return 0;
}
