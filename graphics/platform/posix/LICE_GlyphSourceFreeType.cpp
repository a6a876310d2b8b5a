// The cached font's glyph source where there is no GDI: glyphs come from
// FreeType, the face file from fontconfig (when the build has it) or from the
// Debian DejaVu paths. Text is decoded to Unicode code points; lines are
// always left to the glyphs.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if KESTROM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include "graphics/LICE_FontDescription.h"
#include "graphics/internal/LICE_GlyphSource.h"

namespace {

// Pixel heights outside this range are taken as the nearest end: a font
// handle asking for more would make every glyph a huge allocation.
constexpr int kMinHeight = 1;
constexpr int kMaxHeight = 512;
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

class GlyphSourceFreeType final : public LICE_GlyphSource {
public:
    ~GlyphSourceFreeType() override { Unload(); }

    void SetFromHFont(LICE_FontHandle font, int) override {
        hasDescription_ = font != nullptr;
        if (font == nullptr) {
            Unload();
            return;
        }
        description_ = *font;
        Load(description_);
    }

    LICE_FontHandle Handle() const override { return hasDescription_ ? &description_ : nullptr; }
    bool Loaded() const override { return face_ != nullptr; }
    int Ascender() const override { return ascender_; }
    int LineHeight() const override { return lineHeight_; }

    void Decode(const char* text, std::size_t n, std::vector<std::uint32_t>& codes) const override {
        codes.clear();
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
        for (std::size_t i = 0; i < n;) {
            codes.push_back(NextCodePoint(bytes, n, i));
        }
    }

    void RenderGlyph(std::uint32_t code, LICE_Glyph& g) override {
        if (FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
            return;
        }
        const FT_GlyphSlot slot = face_->glyph;
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

    // FreeType has no line drawing of its own: the glyphs make every line.
    bool DrawLine(const std::uint32_t*, std::size_t, std::int64_t, int, const LineCoverage&) override { return false; }

private:
    void Unload() {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
            face_ = nullptr;
        }
        if (library_ != nullptr) {
            FT_Done_FreeType(library_);
            library_ = nullptr;
        }
        ascender_ = lineHeight_ = 0;
    }

    void Load(const LICE_FontDescription& d) {
        Unload();
        const std::string file = FindFaceFile(d);
        if (file.empty() || FT_Init_FreeType(&library_) != 0) {
            return;
        }
        if (FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            Unload();
            return;
        }
        // A negative height asks for the character height, as with Win32 fonts.
        int h = d.height < 0 ? -d.height : d.height;
        h = std::max(kMinHeight, std::min(kMaxHeight, h == 0 ? 12 : h));
        if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(h)) != 0) {
            Unload();
            return;
        }
        ascender_ = static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
        lineHeight_ = static_cast<int>((face_->size->metrics.height + 63) >> 6);
        if (lineHeight_ <= 0) {
            lineHeight_ = h;
        }
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    // The description the font was set from, kept here: the caller's record
    // may be temporary. Handle hands out this copy.
    LICE_FontDescription description_;
    bool hasDescription_ = false;
    int ascender_ = 0;    // baseline below the top of a line, pixels
    int lineHeight_ = 0;  // pixels from one baseline to the next
};

}  // namespace

std::unique_ptr<LICE_GlyphSource> LICE_MakeGlyphSource() { return std::make_unique<GlyphSourceFreeType>(); }
