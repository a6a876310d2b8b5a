// The cached font on Windows, over a GDI font. Glyphs are rendered once by
// GDI to 8-bit coverage masks (GetGlyphOutline, 65 grey levels) and composed
// from the cache with the text colour through the blend rules. A font set up
// with FontPreferNative has GDI draw whole lines instead, into a shared
// scratch DIB section, whose coverage is composed the same way - except
// under Wine (the "Software\Wine" key exists), whose text drawing differs
// from Windows', and when the colour's alpha weights the text.
// Built only by Windows builds (graphics/CMakeLists.txt).
#include <windows.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_SysBitmap.h"
#include "graphics/internal/LICE_Combine.h"

namespace {

constexpr std::size_t kMaxCachedGlyphs = 4096;
constexpr int kGreyLevels = 64;  // GGO_GRAY8_BITMAP gives 0..64

struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the mask's left edge
    int top = 0;      // from the baseline up to the mask's top row
    int advance = 0;  // pen movement, whole pixels
    std::vector<unsigned char> coverage;  // width × height, 0..255
};

// Whether the process runs under Wine: asked once, remembered.
bool UnderWine() {
    static const bool wine = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }();
    return wine;
}

// UTF-8 to UTF-16 when the text holds a well-formed multi-byte sequence;
// otherwise the bytes are the system code page's.
std::vector<wchar_t> Wide(const char* text, int n) {
    std::vector<wchar_t> out;
    if (n <= 0) return out;
    int got = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, n, nullptr, 0);
    UINT page = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (got <= 0) {
        page = CP_ACP;
        flags = 0;
        got = MultiByteToWideChar(page, flags, text, n, nullptr, 0);
    }
    if (got <= 0) return out;
    out.resize(static_cast<std::size_t>(got));
    MultiByteToWideChar(page, flags, text, n, out.data(), got);
    return out;
}

// The scratch bitmap native drawing goes through, shared by every font.
std::mutex scratchLock;
LICE_SysBitmap& Scratch() {
    static LICE_SysBitmap scratch;
    return scratch;
}

}  // namespace

struct LICE_CachedFont::Impl {
    HFONT font = nullptr;
    bool ownsFont = false;
    HDC dc = nullptr;  // a memory context with the font selected, for glyphs
    HGDIOBJ previousFont = nullptr;
    int flags = 0;
    LICE_pixel textColour = 0xFF000000;
    LICE_pixel backgroundColour = 0xFFFFFFFF;
    int backgroundMode = LICE::BackgroundTransparent;
    int combineMode = LICE::ModeCopy;
    float combineWeight = 1.0f;
    int lineSpacing = 0;
    int ascender = 0;
    int lineHeight = 0;
    std::unordered_map<std::uint32_t, Glyph> glyphs;

    ~Impl() { Release(); }

    void Release() {
        glyphs.clear();
        if (dc != nullptr) {
            SelectObject(dc, previousFont);
            DeleteDC(dc);
            dc = nullptr;
        }
        if (font != nullptr && ownsFont) DeleteObject(font);
        font = nullptr;
        ownsFont = false;
        ascender = lineHeight = 0;
    }

    void Set(HFONT f, int fl) {
        Release();
        font = f;
        flags = fl;
        ownsFont = (fl & LICE::FontOwnsHandle) != 0;
        if (font == nullptr) return;
        dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) return;
        previousFont = SelectObject(dc, font);
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics)) {
            ascender = metrics.tmAscent;
            lineHeight = metrics.tmHeight;
        }
    }

    const Glyph& GlyphOf(wchar_t c) {
        auto found = glyphs.find(c);
        if (found != glyphs.end()) return found->second;
        if (glyphs.size() >= kMaxCachedGlyphs) glyphs.clear();
        Glyph g;
        static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS m = {};
        const DWORD size = GetGlyphOutlineW(dc, c, GGO_GRAY8_BITMAP, &m, 0, nullptr, &kIdentity);
        if (size != GDI_ERROR) {
            g.advance = m.gmCellIncX;
            if (size > 0) {
                std::vector<unsigned char> bits(size);
                if (GetGlyphOutlineW(dc, c, GGO_GRAY8_BITMAP, &m, size, bits.data(), &kIdentity) != GDI_ERROR) {
                    g.width = static_cast<int>(m.gmBlackBoxX);
                    g.height = static_cast<int>(m.gmBlackBoxY);
                    g.left = m.gmptGlyphOrigin.x;
                    g.top = m.gmptGlyphOrigin.y;
                    const int pitch = (g.width + 3) & ~3;  // rows are DWORD aligned
                    g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
                    for (int y = 0; y < g.height && static_cast<std::size_t>((y + 1) * pitch) <= bits.size(); ++y)
                        for (int x = 0; x < g.width; ++x)
                            g.coverage[static_cast<std::size_t>(y * g.width + x)] = static_cast<unsigned char>(
                                std::min(kGreyLevels, static_cast<int>(bits[static_cast<std::size_t>(y * pitch + x)])) *
                                255 / kGreyLevels);
                }
            }
        } else {
            SIZE extent = {};
            if (GetTextExtentPoint32W(dc, &c, 1, &extent)) g.advance = extent.cx;
        }
        return glyphs.emplace(c, std::move(g)).first->second;
    }
};

LICE_CachedFont::LICE_CachedFont() : impl_(new Impl) {}

LICE_CachedFont::~LICE_CachedFont() = default;

void LICE_CachedFont::SetFromHFont(LICE_FontHandle font, int flags) { impl_->Set(static_cast<HFONT>(font), flags); }
void LICE_CachedFont::SetTextColour(LICE_pixel colour) { impl_->textColour = colour; }
void LICE_CachedFont::SetBackgroundColour(LICE_pixel colour) { impl_->backgroundColour = colour; }
void LICE_CachedFont::SetBackgroundMode(int mode) { impl_->backgroundMode = mode; }
void LICE_CachedFont::SetCombineMode(int mode, float weight) {
    impl_->combineMode = mode;
    impl_->combineWeight = weight;
}
void LICE_CachedFont::SetLineSpacing(int pixels) { impl_->lineSpacing = std::max(-1000, std::min(1000, pixels)); }
LICE_pixel LICE_CachedFont::GetTextColour() const { return impl_->textColour; }
LICE_FontHandle LICE_CachedFont::GetHFont() const { return impl_->font; }
int LICE_CachedFont::GetLineHeight() const { return impl_->lineHeight; }

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) {
    Impl& f = *impl_;
    if (rect == nullptr) return 0;
    const bool measureOnly = (flags & LICE::TextCalcRect) != 0;
    if (f.dc == nullptr || text == nullptr) {
        if (measureOnly) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    const int n = static_cast<int>(length < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(length)));
    const std::vector<wchar_t> wide = Wide(text, n);

    // Lines and their widths, from the glyphs' advances.
    struct Line {
        std::vector<wchar_t> codes;
        std::int64_t width = 0;
    };
    std::vector<Line> lines(1);
    for (wchar_t c : wide) {
        if (c == L'\n') {
            lines.emplace_back();
        } else if (c != L'\r') {
            lines.back().codes.push_back(c);
            lines.back().width += f.GlyphOf(c).advance;
        }
    }
    std::int64_t widest = 0;
    for (const Line& l : lines) widest = std::max(widest, l.width);
    const std::int64_t step = static_cast<std::int64_t>(f.lineHeight) + f.lineSpacing;
    const std::int64_t height = static_cast<std::int64_t>(lines.size()) * f.lineHeight +
                                static_cast<std::int64_t>(lines.size() - 1) * f.lineSpacing;
    const int resultHeight = static_cast<int>(std::min<std::int64_t>(height, 1 << 30));
    if (measureOnly) {
        rect->right = static_cast<int>(std::min<std::int64_t>(rect->left + widest, 1 << 30));
        rect->bottom = static_cast<int>(std::min<std::int64_t>(rect->top + height, 1 << 30));
        return resultHeight;
    }
    if (dest == nullptr || dest->Pixels() == nullptr) return resultHeight;

    std::int64_t clipL = 0, clipT = 0, clipR = dest->Width(), clipB = dest->Height();
    if ((flags & LICE::TextNoClip) == 0) {
        clipL = std::max<std::int64_t>(clipL, rect->left);
        clipT = std::max<std::int64_t>(clipT, rect->top);
        clipR = std::min<std::int64_t>(clipR, rect->right);
        clipB = std::min<std::int64_t>(clipB, rect->bottom);
    }
    if (clipL >= clipR || clipT >= clipB) return resultHeight;
    LICE_pixel* pixels = dest->Pixels();
    const std::ptrdiff_t span = dest->RowSpan();
    if (f.backgroundMode == LICE::BackgroundOpaque) {
        for (std::int64_t y = clipT; y < clipB; ++y)
            std::fill(pixels + y * span + clipL, pixels + y * span + clipR, f.backgroundColour);
    }
    int scale = LICE::detail::IntWeight(f.combineWeight);
    if ((flags & LICE::TextUseColourAlpha) != 0) scale = scale * (static_cast<int>(f.textColour >> 24) + 1) / 256;
    if (scale == 0) return resultHeight;
    const LICE_pixel colour = f.textColour | 0xFF000000u;
    const bool native = (f.flags & LICE::FontPreferNative) != 0 && (flags & LICE::TextUseColourAlpha) == 0 &&
                        !UnderWine();

    // Composes a coverage mask (w × h at gx, gy; `pitch` apart, `stride`
    // bytes a sample) into the destination, clipped.
    auto compose = [&](auto op, const unsigned char* cov, std::int64_t gx, std::int64_t gy, int w, int h,
                       std::ptrdiff_t pitch, int stride) {
        const std::int64_t x0 = std::max(clipL, gx), x1 = std::min(clipR, gx + w);
        const std::int64_t y0 = std::max(clipT, gy), y1 = std::min(clipB, gy + h);
        for (std::int64_t y = y0; y < y1; ++y) {
            LICE_pixel* row = pixels + y * span;
            const unsigned char* c = cov + (y - gy) * pitch;
            for (std::int64_t x = x0; x < x1; ++x) {
                const int v = c[(x - gx) * stride];
                if (v == 0) continue;
                op.a = (v * 256 / 255) * scale / 256;
                row[x] = op(row[x], colour);
            }
        }
    };

    LICE::detail::WithOp(f.combineMode & ~LICE::ModeUseSourceAlpha, 256, [&](auto op) {
        for (std::size_t li = 0; li < lines.size(); ++li) {
            const Line& line = lines[li];
            std::int64_t penX = rect->left;
            if ((flags & LICE::TextCentred) != 0) {
                penX = rect->left + (static_cast<std::int64_t>(rect->right) - rect->left - line.width) / 2;
            } else if ((flags & LICE::TextRight) != 0) {
                penX = rect->right - line.width;
            }
            const std::int64_t top = rect->top + static_cast<std::int64_t>(li) * step;
            if (native && !line.codes.empty() && line.width > 0 && line.width < (1 << 15)) {
                // GDI draws the line white on black; its green channel is the coverage.
                std::lock_guard<std::mutex> guard(scratchLock);
                LICE_SysBitmap& scratch = Scratch();
                const int w = static_cast<int>(line.width), h = std::max(1, f.lineHeight);
                scratch.Resize(w, h);
                HDC sdc = static_cast<HDC>(scratch.DeviceContext());
                if (sdc != nullptr && scratch.Pixels() != nullptr) {
                    for (int y = 0; y < h; ++y) std::fill_n(scratch.Pixels() + y * scratch.RowSpan(), w, 0u);
                    HGDIOBJ was = SelectObject(sdc, f.font);
                    SetTextColor(sdc, RGB(255, 255, 255));
                    SetBkMode(sdc, TRANSPARENT);
                    ExtTextOutW(sdc, 0, 0, 0, nullptr, line.codes.data(), static_cast<UINT>(line.codes.size()),
                                nullptr);
                    GdiFlush();
                    SelectObject(sdc, was);
                    compose(op, reinterpret_cast<const unsigned char*>(scratch.Pixels()) + 1, penX, top, w, h,
                            static_cast<std::ptrdiff_t>(scratch.RowSpan()) * 4, 4);
                    continue;
                }
            }
            const std::int64_t baseline = top + f.ascender;
            for (wchar_t c : line.codes) {
                const Glyph& g = f.GlyphOf(c);
                compose(op, g.coverage.data(), penX + g.left, baseline - g.top, g.width, g.height, g.width, 1);
                penX += g.advance;
            }
        }
    });
    return resultHeight;
}
