#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"

struct LICE_CachedFont::Impl {
    LICE_pixel colour = 0xFF000000;
    LICE_FontHandle handle = nullptr;
};

LICE_CachedFont::LICE_CachedFont() : impl_(new Impl) {}
LICE_CachedFont::~LICE_CachedFont() = default;
void LICE_CachedFont::SetFromHFont(LICE_FontHandle font, int) { impl_->handle = font; }
void LICE_CachedFont::SetTextColour(LICE_pixel colour) { impl_->colour = colour; }
void LICE_CachedFont::SetBackgroundColour(LICE_pixel) {}
void LICE_CachedFont::SetBackgroundMode(int) {}
void LICE_CachedFont::SetCombineMode(int, float) {}
void LICE_CachedFont::SetLineSpacing(int) {}
int LICE_CachedFont::DrawText(LICE_IBitmap*, const char*, int, LICE_Rect*, int) { return 0; }
LICE_pixel LICE_CachedFont::GetTextColour() const { return impl_->colour; }
LICE_FontHandle LICE_CachedFont::GetHFont() const { return impl_->handle; }
int LICE_CachedFont::GetLineHeight() const { return 0; }
