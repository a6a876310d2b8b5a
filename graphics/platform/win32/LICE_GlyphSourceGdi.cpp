// The cached font's glyph source on Windows, over a GDI font. Text is
// decoded to UTF-16 code units; glyphs are rendered by GDI to 8-bit coverage
// masks (GetGlyphOutline, 65 grey levels). A font set up with
// FontPreferNative has GDI draw whole lines instead, into a shared scratch
// DIB section, whose coverage the cached font composes the same way -
// except under Wine (the "Software\Wine" key exists), whose text drawing
// differs from Windows', and when the colour's alpha weights the text.
// Built only by Windows builds (graphics/CMakeLists.txt).
#include <windows.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "graphics/LICE_SysBitmap.h"
#include "graphics/internal/LICE_GlyphSource.h"

namespace {

constexpr int kGreyLevels = 64;  // GGO_GRAY8_BITMAP gives 0..64

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

class GlyphSourceGdi final : public LICE_GlyphSource {
public:
    ~GlyphSourceGdi() override { Release(); }

    void SetFromHFont(LICE_FontHandle handle, int flags) override {
        Release();
        font_ = static_cast<HFONT>(handle);
        flags_ = flags;
        ownsFont_ = (flags & LICE::FontOwnsHandle) != 0;
        if (font_ == nullptr) return;
        dc_ = CreateCompatibleDC(nullptr);
        if (dc_ == nullptr) return;
        previousFont_ = SelectObject(dc_, font_);
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc_, &metrics)) {
            ascender_ = metrics.tmAscent;
            lineHeight_ = metrics.tmHeight;
        }
    }

    LICE_FontHandle Handle() const override { return font_; }
    bool Loaded() const override { return dc_ != nullptr; }
    int Ascender() const override { return ascender_; }
    int LineHeight() const override { return lineHeight_; }

    void Decode(const char* text, std::size_t n, std::vector<std::uint32_t>& codes) const override {
        const std::vector<wchar_t> wide = Wide(text, static_cast<int>(n));
        codes.assign(wide.begin(), wide.end());
    }

    void RenderGlyph(std::uint32_t code, LICE_Glyph& g) override {
        const wchar_t c = static_cast<wchar_t>(code);
        static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS m = {};
        const DWORD size = GetGlyphOutlineW(dc_, c, GGO_GRAY8_BITMAP, &m, 0, nullptr, &kIdentity);
        if (size != GDI_ERROR) {
            g.advance = m.gmCellIncX;
            if (size > 0) {
                std::vector<unsigned char> bits(size);
                if (GetGlyphOutlineW(dc_, c, GGO_GRAY8_BITMAP, &m, size, bits.data(), &kIdentity) != GDI_ERROR) {
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
            if (GetTextExtentPoint32W(dc_, &c, 1, &extent)) g.advance = extent.cx;
        }
    }

    bool DrawLine(const std::uint32_t* codes, std::size_t count, std::int64_t width, int drawFlags,
                  const LineCoverage& compose) override {
        const bool native = (flags_ & LICE::FontPreferNative) != 0 && (drawFlags & LICE::TextUseColourAlpha) == 0 &&
                            !UnderWine();
        if (!native || width <= 0 || width >= (1 << 15)) return false;
        const std::vector<wchar_t> line(codes, codes + count);
        // GDI draws the line white on black; its green channel is the coverage.
        std::lock_guard<std::mutex> guard(scratchLock);
        LICE_SysBitmap& scratch = Scratch();
        const int w = static_cast<int>(width), h = std::max(1, lineHeight_);
        scratch.Resize(w, h);
        HDC sdc = static_cast<HDC>(scratch.DeviceContext());
        if (sdc == nullptr || scratch.Pixels() == nullptr) return false;
        for (int y = 0; y < h; ++y) std::fill_n(scratch.Pixels() + y * scratch.RowSpan(), w, 0u);
        HGDIOBJ was = SelectObject(sdc, font_);
        SetTextColor(sdc, RGB(255, 255, 255));
        SetBkMode(sdc, TRANSPARENT);
        ExtTextOutW(sdc, 0, 0, 0, nullptr, line.data(), static_cast<UINT>(line.size()), nullptr);
        GdiFlush();
        SelectObject(sdc, was);
        compose(reinterpret_cast<const unsigned char*>(scratch.Pixels()) + 1, w, h,
                static_cast<std::ptrdiff_t>(scratch.RowSpan()) * 4, 4);
        return true;
    }

private:
    void Release() {
        if (dc_ != nullptr) {
            SelectObject(dc_, previousFont_);
            DeleteDC(dc_);
            dc_ = nullptr;
        }
        if (font_ != nullptr && ownsFont_) DeleteObject(font_);
        font_ = nullptr;
        ownsFont_ = false;
        ascender_ = lineHeight_ = 0;
    }

    HFONT font_ = nullptr;
    bool ownsFont_ = false;
    HDC dc_ = nullptr;  // a memory context with the font selected, for glyphs
    HGDIOBJ previousFont_ = nullptr;
    int flags_ = 0;
    int ascender_ = 0;
    int lineHeight_ = 0;
};

}  // namespace

std::unique_ptr<LICE_GlyphSource> LICE_MakeGlyphSource() { return std::make_unique<GlyphSourceGdi>(); }
