// Feeds arbitrary bytes to the PNG decoder, both into a new bitmap and into a
// bitmap given by the caller. The decoder must never crash, leak or touch
// memory it does not own, and a picture it accepts must be as large as it says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LICE_IBitmap* fresh = LICE::DecodePng(data, size, nullptr);
    if (fresh != nullptr) {
        const int w = fresh->Width(), h = fresh->Height();
        if (w <= 0 || h <= 0 || fresh->Pixels() == nullptr) {
            std::abort();
        }
        // Touch the last pixel: the rows really are there.
        volatile LICE_pixel last = fresh->Pixels()[(h - 1) * fresh->RowSpan() + (w - 1)];
        (void)last;
        delete fresh;
    }
    LICE_MemBitmap given(3, 5, 4);
    LICE_IBitmap* into = LICE::DecodePng(data, size, &given);
    if (into != nullptr && into != &given) {
        std::abort();
    }
    return 0;
}
