#include "graphics/LICE_SysBitmap.h"

#include <cstdint>

namespace {
// Largest surface accepted, in bytes; larger sizes fail like a failed allocation.
constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 31;
}  // namespace

LICE_SysBitmap::LICE_SysBitmap(int w, int h) {
    hasContext_ = OpenContext();
    Resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap() {
    ReleaseSurface();
    CloseContext();
}

bool LICE_SysBitmap::Resize(int w, int h) {
    if (!hasContext_) {
        width_ = height_ = 0;
        return false;
    }
    // A negative size means no pixels.
    if (w < 0) {
        w = 0;
    }
    if (h < 0) {
        h = 0;
    }
    if (w == width_ && h == height_) {
        return false;
    }
    width_ = w;
    height_ = h;
    // The back buffer never shrinks: a surface at least this large is reused.
    if (w > 0 && h > 0 && pixels_ != nullptr && allocWidth_ >= w && allocHeight_ >= h) {
        return true;
    }
    ReleaseSurface();
    allocWidth_ = (w + 3) & ~3;
    allocHeight_ = h;
    if (w == 0 || h == 0 ||
        static_cast<std::uint64_t>(allocWidth_) * static_cast<std::uint64_t>(allocHeight_) * 4 > kMaxBytes ||
        !CreateSurface(allocWidth_, allocHeight_)) {
        // No surface: the bitmap is 0 × 0 and every operation skips it.
        const bool changed = w > 0 && h > 0;
        pixels_ = nullptr;
        width_ = height_ = allocWidth_ = allocHeight_ = 0;
        return changed;
    }
    return true;
}
