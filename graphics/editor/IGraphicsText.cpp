#include "graphics/IFontCache.h"
#include "graphics/IGraphics.h"
#include "graphics/LICE_IFont.h"

// Text: drawing, measuring, and fonts from the process-wide font cache.

namespace {
constexpr int32_t kOpaque = 255;

int TextFlags(const ITextStyle& style) {
    int flags = LICE::TextNoClip;
    if (style.colour.a != kOpaque) flags |= LICE::TextUseColourAlpha;
    if (style.align == ITextStyle::kCentre) flags |= LICE::TextCentred;
    if (style.align == ITextStyle::kRight) flags |= LICE::TextRight;
    return flags;
}
}  // namespace

LICE_IFont* IGraphics::FindOrCreateFont(ITextStyle& style) {
    LICE_IFont* font = IFontCache::Instance().FindOrCreate(style, [&] { return CreatePlatformFont(style); });
    style.cachedFont = font;
    return font;
}

bool IGraphics::DrawText(ITextStyle& style, const char* text, const IBounds& area) {
    if (!text || !*text) return true;
    LICE_IFont* font = style.cachedFont ? style.cachedFont : FindOrCreateFont(style);
    if (!font) return false;
    font->SetTextColour(style.colour.Packed());
    LICE_Rect r{area.left, area.top, area.right, area.bottom};
    font->DrawText(backBuffer.get(), text, -1, &r, TextFlags(style));
    return true;
}

bool IGraphics::MeasureText(ITextStyle& style, const char* text, IBounds& area) {
    if (!text || !*text) return true;
    LICE_IFont* font = style.cachedFont ? style.cachedFont : FindOrCreateFont(style);
    if (!font) return false;
    font->SetTextColour(style.colour.Packed());
    LICE_Rect r{0, 0, 0, 0};
    font->DrawText(backBuffer.get(), text, -1, &r, TextFlags(style) | LICE::TextCalcRect);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (style.align == ITextStyle::kCentre) {
        area.left = static_cast<int>(static_cast<float>((area.left + area.right) * 0.5)) - w / 2;
    } else if (style.align == ITextStyle::kRight) {
        area.left = area.right - w;
    }
    area.right = area.left + w;
    area.bottom = area.top + h;
    return true;
}
