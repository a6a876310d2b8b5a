// The cached font where there is no GDI: glyphs come from FreeType, the face
// file from fontconfig (when the build has it) or from the Debian DejaVu
// paths. Each glyph is rendered once to an 8-bit coverage mask and kept;
// drawing composes the masks with the text colour through the blend rules.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#if KESTROM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/internal/LICE_Combine.h"

namespace {

// Pixel heights outside this range are taken as the nearest end: a font
// handle asking for more would make every glyph a huge allocation.
constexpr int kMinHeight = 1;
constexpr int kMaxHeight = 512;
// Glyphs kept per font before the cache starts over.
constexpr std::size_t kMaxCachedGlyphs = 4096;

struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the mask's left edge
    int top = 0;      // from the baseline up to the mask's top row
    int advance = 0;  // pen movement, whole pixels
    std::vector<unsigned char> coverage;  // width × height, 0..255
};

bool Readable(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    std::fclose(f);
    return true;
}

// The file of the face that best matches the description.
std::string FindFaceFile(const LICE_FontDescription& d) {
    const bool bold = d.weight >= 600;
#if KESTROM_HAVE_FONTCONFIG
    // A private configuration, destroyed after the lookup, so that nothing of
    // fontconfig stays allocated behind the font's back.
    if (FcConfig* config = FcInitLoadConfigAndFonts()) {
        FcPattern* pattern = FcPatternCreate();
        char name[sizeof d.faceName + 1] = {};
        std::memcpy(name, d.faceName, sizeof d.faceName);
        if (name[0] != '\0') {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
        }
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, d.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        std::string file;
        FcChar8* path = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
            file = reinterpret_cast<const char*>(path);
        }
        if (match != nullptr) {
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        FcConfigDestroy(config);
        if (Readable(file)) {
            return file;
        }
    }
#endif
    static const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans";
    const std::string styled = std::string(kDejaVu) + (bold && d.italic ? "-BoldOblique" : bold ? "-Bold" : d.italic ? "-Oblique" : "") + ".ttf";
    if (Readable(styled)) {
        return styled;
    }
    const std::string plain = std::string(kDejaVu) + ".ttf";
    return Readable(plain) ? plain : std::string();
}

// Next code point of UTF-8 text; a byte that does not start a well-formed
// sequence stands for itself (Latin-1), so no text is ever refused.
std::uint32_t NextCodePoint(const unsigned char* s, std::size_t n, std::size_t& i) {
    const unsigned char c = s[i];
    int extra = 0;
    std::uint32_t cp = c;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        cp = c & 0x07;
    }
    bool ok = extra > 0 && i + static_cast<std::size_t>(extra) < n;
    for (int k = 1; ok && k <= extra; ++k) {
        const unsigned char next = s[i + static_cast<std::size_t>(k)];
        ok = (next & 0xC0) == 0x80;
        cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not well formed.
    static const std::uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && cp >= kLeast[extra] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
        i += static_cast<std::size_t>(extra) + 1;
        return cp;
    }
    ++i;
    return c;
}

}  // namespace

struct LICE_CachedFont::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    // The description the font was set from, kept here: the caller's record
    // may be temporary. GetHFont hands out this copy.
    LICE_FontDescription description;
    bool hasDescription = false;
    int flags = 0;
    LICE_pixel textColour = 0xFF000000;
    LICE_pixel backgroundColour = 0xFFFFFFFF;
    int backgroundMode = LICE::BackgroundTransparent;
    int combineMode = LICE::ModeCopy;
    float combineWeight = 1.0f;
    int lineSpacing = 0;
    int ascender = 0;    // baseline below the top of a line, pixels
    int lineHeight = 0;  // pixels from one baseline to the next
    std::unordered_map<std::uint32_t, Glyph> glyphs;

    ~Impl() { Unload(); }

    void Unload() {
        glyphs.clear();
        if (face != nullptr) {
            FT_Done_Face(face);
            face = nullptr;
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
            library = nullptr;
        }
        ascender = lineHeight = 0;
    }

    void Load(const LICE_FontDescription& d) {
        Unload();
        const std::string file = FindFaceFile(d);
        if (file.empty() || FT_Init_FreeType(&library) != 0) {
            return;
        }
        if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
            face = nullptr;
            Unload();
            return;
        }
        // A negative height asks for the character height, as with Win32 fonts.
        int h = d.height < 0 ? -d.height : d.height;
        h = std::max(kMinHeight, std::min(kMaxHeight, h == 0 ? 12 : h));
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(h)) != 0) {
            Unload();
            return;
        }
        ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
        lineHeight = static_cast<int>((face->size->metrics.height + 63) >> 6);
        if (lineHeight <= 0) {
            lineHeight = h;
        }
    }

    const Glyph& GlyphOf(std::uint32_t cp) {
        auto found = glyphs.find(cp);
        if (found != glyphs.end()) {
            return found->second;
        }
        if (glyphs.size() >= kMaxCachedGlyphs) {
            glyphs.clear();
        }
        Glyph g;
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bm = slot->bitmap;
            g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.buffer != nullptr) {
                g.width = static_cast<int>(bm.width);
                g.height = static_cast<int>(bm.rows);
                g.left = slot->bitmap_left;
                g.top = slot->bitmap_top;
                g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
                const int grey = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
                for (int y = 0; y < g.height; ++y) {
                    const unsigned char* row = bm.pitch >= 0 ? bm.buffer + y * bm.pitch
                                                             : bm.buffer + (g.height - 1 - y) * -bm.pitch;
                    for (int x = 0; x < g.width; ++x) {
                        g.coverage[static_cast<std::size_t>(y * g.width + x)] =
                            static_cast<unsigned char>(row[x] * 255 / grey);
                    }
                }
            }
        }
        return glyphs.emplace(cp, std::move(g)).first->second;
    }
};

LICE_CachedFont::LICE_CachedFont() : impl_(new Impl) {}

LICE_CachedFont::~LICE_CachedFont() = default;

void LICE_CachedFont::SetFromHFont(LICE_FontHandle font, int flags) {
    impl_->flags = flags;
    impl_->hasDescription = font != nullptr;
    if (font == nullptr) {
        impl_->Unload();
        return;
    }
    impl_->description = *font;
    impl_->Load(impl_->description);
}

void LICE_CachedFont::SetTextColour(LICE_pixel colour) { impl_->textColour = colour; }
void LICE_CachedFont::SetBackgroundColour(LICE_pixel colour) { impl_->backgroundColour = colour; }
void LICE_CachedFont::SetBackgroundMode(int mode) { impl_->backgroundMode = mode; }
void LICE_CachedFont::SetCombineMode(int mode, float weight) {
    impl_->combineMode = mode;
    impl_->combineWeight = weight;
}
void LICE_CachedFont::SetLineSpacing(int pixels) { impl_->lineSpacing = std::max(-1000, std::min(1000, pixels)); }
LICE_pixel LICE_CachedFont::GetTextColour() const { return impl_->textColour; }
LICE_FontHandle LICE_CachedFont::GetHFont() const {
    return impl_->hasDescription ? &impl_->description : nullptr;
}
int LICE_CachedFont::GetLineHeight() const { return impl_->lineHeight; }

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) {
    Impl& f = *impl_;
    if (rect == nullptr) {
        return 0;
    }
    const bool measureOnly = (flags & LICE::TextCalcRect) != 0;
    if (f.face == nullptr || text == nullptr) {
        if (measureOnly) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    const std::size_t n = length < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(length));
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);

    // Lay the text out: code points per line and each line's width.
    struct Line {
        std::vector<std::uint32_t> codes;
        std::int64_t width = 0;
    };
    std::vector<Line> lines(1);
    for (std::size_t i = 0; i < n;) {
        const std::uint32_t cp = NextCodePoint(bytes, n, i);
        if (cp == '\n') {
            lines.emplace_back();
        } else if (cp != '\r') {
            lines.back().codes.push_back(cp);
            lines.back().width += f.GlyphOf(cp).advance;
        }
    }
    std::int64_t widest = 0;
    for (const Line& l : lines) {
        widest = std::max(widest, l.width);
    }
    const std::int64_t step = static_cast<std::int64_t>(f.lineHeight) + f.lineSpacing;
    const std::int64_t height =
        static_cast<std::int64_t>(lines.size()) * f.lineHeight + static_cast<std::int64_t>(lines.size() - 1) * f.lineSpacing;
    const int resultHeight = static_cast<int>(std::min<std::int64_t>(height, 1 << 30));
    if (measureOnly) {
        rect->right = static_cast<int>(std::min<std::int64_t>(rect->left + widest, 1 << 30));
        rect->bottom = static_cast<int>(std::min<std::int64_t>(rect->top + height, 1 << 30));
        return resultHeight;
    }
    if (dest == nullptr || dest->Pixels() == nullptr) {
        return resultHeight;
    }

    // Everything drawn stays inside the bitmap, and inside the rectangle
    // unless TextNoClip.
    std::int64_t clipL = 0, clipT = 0, clipR = dest->Width(), clipB = dest->Height();
    if ((flags & LICE::TextNoClip) == 0) {
        clipL = std::max<std::int64_t>(clipL, rect->left);
        clipT = std::max<std::int64_t>(clipT, rect->top);
        clipR = std::min<std::int64_t>(clipR, rect->right);
        clipB = std::min<std::int64_t>(clipB, rect->bottom);
    }
    if (clipL >= clipR || clipT >= clipB) {
        return resultHeight;
    }
    LICE_pixel* pixels = dest->Pixels();
    const std::ptrdiff_t span = dest->RowSpan();
    if (f.backgroundMode == LICE::BackgroundOpaque) {
        for (std::int64_t y = clipT; y < clipB; ++y) {
            std::fill(pixels + y * span + clipL, pixels + y * span + clipR, f.backgroundColour);
        }
    }

    // Coverage c (0..255) becomes the weight a = c × 256 / 255, scaled by the
    // colour's alpha with TextUseColourAlpha and by the combine weight; the
    // colour itself is combined as opaque.
    int scale = LICE::detail::IntWeight(f.combineWeight);
    if ((flags & LICE::TextUseColourAlpha) != 0) {
        scale = scale * (static_cast<int>(f.textColour >> 24) + 1) / 256;
    }
    if (scale == 0) {
        return resultHeight;
    }
    const LICE_pixel colour = f.textColour | 0xFF000000u;
    LICE::detail::WithOp(f.combineMode & ~LICE::ModeUseSourceAlpha, 256, [&](auto op) {
        for (std::size_t li = 0; li < lines.size(); ++li) {
            const Line& line = lines[li];
            std::int64_t penX = rect->left;
            if ((flags & LICE::TextCentred) != 0) {
                penX = rect->left + (static_cast<std::int64_t>(rect->right) - rect->left - line.width) / 2;
            } else if ((flags & LICE::TextRight) != 0) {
                penX = rect->right - line.width;
            }
            const std::int64_t baseline = rect->top + static_cast<std::int64_t>(li) * step + f.ascender;
            for (std::uint32_t cp : line.codes) {
                const Glyph& g = f.GlyphOf(cp);
                const std::int64_t gx = penX + g.left, gy = baseline - g.top;
                const std::int64_t x0 = std::max(clipL, gx), x1 = std::min(clipR, gx + g.width);
                const std::int64_t y0 = std::max(clipT, gy), y1 = std::min(clipB, gy + g.height);
                for (std::int64_t y = y0; y < y1; ++y) {
                    LICE_pixel* row = pixels + y * span;
                    const unsigned char* cov = g.coverage.data() + (y - gy) * g.width;
                    for (std::int64_t x = x0; x < x1; ++x) {
                        const int c = cov[x - gx];
                        if (c == 0) {
                            continue;
                        }
                        op.a = (c * 256 / 255) * scale / 256;
                        row[x] = op(row[x], colour);
                    }
                }
                penX += g.advance;
            }
        }
    });
    return resultHeight;
}
