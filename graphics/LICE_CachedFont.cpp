// The cached font's state, text layout and composition, the same on every
// platform; the glyphs come from the platform's LICE_GlyphSource. Each glyph
// is rendered once to an 8-bit coverage mask and kept; drawing splits the
// text into lines, measures them from the glyphs' advances, aligns them and
// composes the masks (or a line the system drew) with the text colour
// through the blend rules.
#include "graphics/LICE_CachedFont.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "graphics/internal/LICE_Combine.h"
#include "graphics/internal/LICE_GlyphSource.h"

namespace {

// Glyphs kept per font before the cache starts over.
constexpr std::size_t kMaxCachedGlyphs = 4096;

}  // namespace

struct LICE_CachedFont::Impl {
    std::unique_ptr<LICE_GlyphSource> source = LICE_MakeGlyphSource();
    LICE_pixel textColour = 0xFF000000;
    LICE_pixel backgroundColour = 0xFFFFFFFF;
    int backgroundMode = LICE::BackgroundTransparent;
    int combineMode = LICE::ModeCopy;
    float combineWeight = 1.0f;
    int lineSpacing = 0;
    std::unordered_map<std::uint32_t, LICE_Glyph> glyphs;

    const LICE_Glyph& GlyphOf(std::uint32_t code) {
        auto found = glyphs.find(code);
        if (found != glyphs.end()) {
            return found->second;
        }
        if (glyphs.size() >= kMaxCachedGlyphs) {
            glyphs.clear();
        }
        LICE_Glyph g;
        source->RenderGlyph(code, g);
        return glyphs.emplace(code, std::move(g)).first->second;
    }
};

LICE_CachedFont::LICE_CachedFont() : impl_(new Impl) {}

LICE_CachedFont::~LICE_CachedFont() = default;

void LICE_CachedFont::SetFromHFont(LICE_FontHandle font, int flags) {
    impl_->glyphs.clear();
    impl_->source->SetFromHFont(font, flags);
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
LICE_FontHandle LICE_CachedFont::GetHFont() const { return impl_->source->Handle(); }
int LICE_CachedFont::GetLineHeight() const { return impl_->source->LineHeight(); }

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) {
    Impl& f = *impl_;
    LICE_GlyphSource& source = *f.source;
    if (rect == nullptr) {
        return 0;
    }
    const bool measureOnly = (flags & LICE::TextCalcRect) != 0;
    if (!source.Loaded() || text == nullptr) {
        if (measureOnly) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    const std::size_t n = length < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(length));
    std::vector<std::uint32_t> codes;
    source.Decode(text, n, codes);

    // Lay the text out: codes per line and each line's width, from the
    // glyphs' advances.
    struct Line {
        std::vector<std::uint32_t> codes;
        std::int64_t width = 0;
    };
    std::vector<Line> lines(1);
    for (std::uint32_t code : codes) {
        if (code == '\n') {
            lines.emplace_back();
        } else if (code != '\r') {
            lines.back().codes.push_back(code);
            lines.back().width += f.GlyphOf(code).advance;
        }
    }
    std::int64_t widest = 0;
    for (const Line& l : lines) {
        widest = std::max(widest, l.width);
    }
    const int lineHeight = source.LineHeight();
    const int ascender = source.Ascender();
    const std::int64_t step = static_cast<std::int64_t>(lineHeight) + f.lineSpacing;
    const std::int64_t height =
        static_cast<std::int64_t>(lines.size()) * lineHeight + static_cast<std::int64_t>(lines.size() - 1) * f.lineSpacing;
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

    // Composes a coverage mask (w × h at gx, gy; rows `pitch` bytes apart,
    // `stride` bytes a sample) into the destination, clipped.
    auto compose = [&](auto& op, const unsigned char* cov, std::int64_t gx, std::int64_t gy, int w, int h,
                       std::ptrdiff_t pitch, int stride) {
        const std::int64_t x0 = std::max(clipL, gx), x1 = std::min(clipR, gx + w);
        const std::int64_t y0 = std::max(clipT, gy), y1 = std::min(clipB, gy + h);
        for (std::int64_t y = y0; y < y1; ++y) {
            LICE_pixel* row = pixels + y * span;
            const unsigned char* c = cov + (y - gy) * pitch;
            for (std::int64_t x = x0; x < x1; ++x) {
                const int v = c[(x - gx) * stride];
                if (v == 0) {
                    continue;
                }
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
            if (!line.codes.empty() &&
                source.DrawLine(line.codes.data(), line.codes.size(), line.width, flags,
                                [&](const unsigned char* cov, int w, int h, std::ptrdiff_t pitch, int stride) {
                                    compose(op, cov, penX, top, w, h, pitch, stride);
                                })) {
                continue;
            }
            const std::int64_t baseline = top + ascender;
            for (std::uint32_t code : line.codes) {
                const LICE_Glyph& g = f.GlyphOf(code);
                compose(op, g.coverage.data(), penX + g.left, baseline - g.top, g.width, g.height, g.width, 1);
                penX += g.advance;
            }
        }
    });
    return resultHeight;
}
