#include "graphics/IBitmapCache.h"
#include "graphics/IGraphics.h"
#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Scaled.h"

// Bitmaps: loading through the process-wide cache, scaling and cropping.

namespace {
constexpr int kRowAlign = 4;  // every memory bitmap of the editor pads rows to 4 pixels

// A picture whose pixels could not be decoded has nothing to scale or crop
// from; a new bitmap made from it would hold only undefined pixels.
bool HasPixels(const IBitmapRef& ref) { return !ref.IsEmpty() && ref.bitmap->Pixels() != nullptr; }

}  // namespace

IBitmapRef IGraphics::LoadBitmap(int id, const char* name, int frameCount, bool framesHorizontal) {
    LICE_IBitmap* bitmap =
        IBitmapCache::Instance().FindOrLoad(id, [&] { return LoadPlatformBitmap(id, name ? name : ""); });
    if (!bitmap) return IBitmapRef(nullptr, 0, 0, frameCount, framesHorizontal);
    return IBitmapRef(bitmap, bitmap->Width(), bitmap->Height(), frameCount, framesHorizontal);
}

IBitmapRef IGraphics::ScaleBitmap(const IBitmapRef& ref, int w, int h) {
    if (!HasPixels(ref) || w <= 0 || h <= 0) return IBitmapRef();
    auto scaled = std::make_unique<LICE_MemBitmap>(w, h, kRowAlign);
    LICE::ScaledBlit(scaled.get(), ref.bitmap, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(ref.width),
                     static_cast<float>(ref.height), 1.0f, LICE::ModeCopy | LICE::ModeFilter);
    LICE_IBitmap* stored = IBitmapCache::Instance().Store(IBitmapCache::kDerivedId, std::move(scaled));
    return IBitmapRef(stored, w, h, ref.frameCount, false);
}

IBitmapRef IGraphics::CropBitmap(const IBitmapRef& ref, const IBounds& area) {
    if (!HasPixels(ref) || area.Width() <= 0 || area.Height() <= 0) return IBitmapRef();
    auto cropped = std::make_unique<LICE_MemBitmap>(area.Width(), area.Height(), kRowAlign);
    LICE::Blit(cropped.get(), ref.bitmap, 0, 0, area.left, area.top, area.Width(), area.Height(), 1.0f,
               LICE::ModeCopy);
    LICE_IBitmap* stored = IBitmapCache::Instance().Store(IBitmapCache::kDerivedId, std::move(cropped));
    return IBitmapRef(stored, area.Width(), area.Height(), ref.frameCount, false);
}

void IGraphics::RetainBitmap(const IBitmapRef& ref) { IBitmapCache::Instance().Adopt(ref.bitmap); }

void IGraphics::ReleaseBitmap(const IBitmapRef& ref) {
    if (ref.bitmap) IBitmapCache::Instance().Remove(ref.bitmap);
}
