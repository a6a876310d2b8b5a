// The system bitmap's platform part where there is no window system to share
// pixels with: the surface is plain memory on a 64-byte boundary and there is
// no device context.
#include <cstdlib>

#include "graphics/LICE_SysBitmap.h"

bool LICE_SysBitmap::OpenContext() {
    context_ = nullptr;
    return true;
}

void LICE_SysBitmap::CloseContext() {}

bool LICE_SysBitmap::CreateSurface(int allocW, int allocH) {
    constexpr std::size_t kAlign = 64;
    const std::size_t bytes = static_cast<std::size_t>(allocW) * static_cast<std::size_t>(allocH) * 4;
    // aligned_alloc wants a size that is a multiple of the alignment.
    void* block = std::aligned_alloc(kAlign, (bytes + kAlign - 1) / kAlign * kAlign);
    if (block == nullptr) {
        return false;
    }
    surface_ = block;
    pixels_ = static_cast<LICE_pixel*>(block);
    return true;
}

void LICE_SysBitmap::ReleaseSurface() {
    std::free(surface_);
    surface_ = nullptr;
    pixels_ = nullptr;
}
