#include "graphics/LICE_Blit.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/internal/LICE_Combine.h"

namespace LICE {
namespace {

using detail::IntWeight;
using detail::WithOp;

// Word-wide shortcuts: halves and quarters of each byte with the carries
// masked off (so 255 and 255 average to 254).
inline LICE_pixel Half(LICE_pixel p) { return (p >> 1) & 0x7F7F7F7Fu; }
inline LICE_pixel Quarter(LICE_pixel p) { return (p >> 2) & 0x3F3F3F3Fu; }

// A rectangle of rows: first pixel and row span, both in pixels.
struct Rows {
    LICE_pixel* first;
    std::ptrdiff_t span;
};
struct ConstRows {
    const LICE_pixel* first;
    std::ptrdiff_t span;
};

template <class Op>
void CombineRows(Rows d, ConstRows s, int w, int h, const Op& op) {
    for (int y = 0; y < h; ++y) {
        LICE_pixel* dp = d.first + y * d.span;
        const LICE_pixel* sp = s.first + y * s.span;
        for (int x = 0; x < w; ++x) {
            dp[x] = op(dp[x], sp[x]);
        }
    }
}

template <class Op>
void CombineColour(Rows d, LICE_pixel colour, int w, int h, const Op& op) {
    for (int y = 0; y < h; ++y) {
        LICE_pixel* dp = d.first + y * d.span;
        for (int x = 0; x < w; ++x) {
            dp[x] = op(dp[x], colour);
        }
    }
}

// Clips a rectangle against [0, limit) in one axis. Widened to 64 bits so that
// no argument can overflow; returns false when nothing is left.
bool ClipSpan(std::int64_t& pos, std::int64_t& len, std::int64_t limit) {
    if (pos < 0) {
        len += pos;
        pos = 0;
    }
    if (pos + len > limit) {
        len = limit - pos;
    }
    return len > 0;
}

}  // namespace

void Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int srcW, int srcH,
          float weight, int mode) {
    if (dest == nullptr || src == nullptr) {
        return;
    }
    if (!(weight > 0.0f)) {
        return;
    }
    const int a = IntWeight(weight);
    LICE_pixel* dpix = dest->Pixels();
    const LICE_pixel* spix = src->Pixels();
    if (dpix == nullptr || spix == nullptr) {
        return;
    }
    std::int64_t sx = srcX, sy = srcY, sw = srcW, sh = srcH, dx = dstX, dy = dstY;
    // The source rectangle ends inside the source bitmap; a negative source
    // start moves the destination along with it.
    if (sx + sw > src->Width()) {
        sw = src->Width() - sx;
    }
    if (sy + sh > src->Height()) {
        sh = src->Height() - sy;
    }
    if (sx < 0) {
        dx -= sx;
        sw += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        sh += sy;
        sy = 0;
    }
    // A negative destination start skips as many source pixels.
    if (dx < 0) {
        sx -= dx;
        sw += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        sh += dy;
        dy = 0;
    }
    if (dx + sw > dest->Width()) {
        sw = dest->Width() - dx;
    }
    if (dy + sh > dest->Height()) {
        sh = dest->Height() - dy;
    }
    if (sw <= 0 || sh <= 0) {
        return;
    }
    const int w = static_cast<int>(sw);
    const int h = static_cast<int>(sh);
    Rows d{dpix + dy * dest->RowSpan() + dx, dest->RowSpan()};
    ConstRows s{spix + sy * src->RowSpan() + sx, src->RowSpan()};

    // A blit within one bitmap whose rectangles overlap reads from a copy of
    // the source rectangle, so no pixel is read after it was written.
    std::vector<LICE_pixel> copy;
    if (dpix == spix) {
        const bool overlapX = dx < sx + sw && sx < dx + sw;
        const bool overlapY = dy < sy + sh && sy < dy + sh;
        if (overlapX && overlapY) {
            copy.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            for (int y = 0; y < h; ++y) {
                std::memcpy(&copy[static_cast<std::size_t>(y) * static_cast<std::size_t>(w)], s.first + y * s.span,
                            static_cast<std::size_t>(w) * sizeof(LICE_pixel));
            }
            s = ConstRows{copy.data(), w};
        }
    }

    const bool plainCopy = (mode & ModeMask) == ModeCopy && (mode & ModeUseSourceAlpha) == 0;
    if (plainCopy && a == 256) {
        for (int y = 0; y < h; ++y) {
            std::memcpy(d.first + y * d.span, s.first + y * s.span, static_cast<std::size_t>(w) * sizeof(LICE_pixel));
        }
        return;
    }
    if (plainCopy && weight == 0.5f) {
        CombineRows(d, s, w, h, [](LICE_pixel dp, LICE_pixel sp) { return Half(sp) + Half(dp); });
        return;
    }
    WithOp(mode, a, [&](const auto& op) { CombineRows(d, s, w, h, op); });
}

void FillRectangle(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel colour, float weight, int mode) {
    if (dest == nullptr || dest->Pixels() == nullptr) {
        return;
    }
    // With the source-alpha flag the colour's alpha scales the weight, and the
    // fill then combines without the flag.
    float e = weight;
    if ((mode & ModeUseSourceAlpha) != 0) {
        e = weight * (static_cast<float>(colour >> 24) / 255.0f);
        mode &= ~ModeUseSourceAlpha;
    }
    const int a = IntWeight(e);
    if (a == 0) {
        return;
    }
    std::int64_t px = x, py = y, pw = w, ph = h;
    if (!ClipSpan(px, pw, dest->Width()) || !ClipSpan(py, ph, dest->Height())) {
        return;
    }
    const int cw = static_cast<int>(pw);
    const int ch = static_cast<int>(ph);
    Rows d{dest->Pixels() + py * dest->RowSpan() + px, dest->RowSpan()};

    if ((mode & ModeMask) == ModeCopy) {
        switch (a) {
            case 256:
                for (int row = 0; row < ch; ++row) {
                    LICE_pixel* dp = d.first + row * d.span;
                    for (int i = 0; i < cw; ++i) {
                        dp[i] = colour;
                    }
                }
                return;
            case 128: {
                const LICE_pixel c = Half(colour);
                CombineColour(d, colour, cw, ch, [c](LICE_pixel dp, LICE_pixel) { return c + Half(dp); });
                return;
            }
            case 64: {
                const LICE_pixel c = Quarter(colour);
                CombineColour(d, colour, cw, ch,
                              [c](LICE_pixel dp, LICE_pixel) { return c + Quarter(dp) + Half(dp); });
                return;
            }
            case 192: {
                const LICE_pixel c = Half(colour) + Quarter(colour);
                CombineColour(d, colour, cw, ch, [c](LICE_pixel dp, LICE_pixel) { return c + Quarter(dp); });
                return;
            }
            default: {
                // Colour bytes move toward the colour; the alpha byte moves
                // toward a itself.
                const int w256 = 256 - a;
                const int cb = detail::Byte(colour, 0), cg = detail::Byte(colour, 1), cr = detail::Byte(colour, 2);
                CombineColour(d, colour, cw, ch, [=](LICE_pixel dp, LICE_pixel) {
                    using detail::Byte;
                    using detail::Mix;
                    return detail::Pack(Mix(cb, Byte(dp, 0), w256), Mix(cg, Byte(dp, 1), w256),
                                        Mix(cr, Byte(dp, 2), w256), Mix(a, Byte(dp, 3), w256));
                });
                return;
            }
        }
    }
    WithOp(mode, a, [&](const auto& op) { CombineColour(d, colour, cw, ch, op); });
}

void Clear(LICE_IBitmap* dest, LICE_pixel colour) {
    if (dest == nullptr || dest->Pixels() == nullptr) {
        return;
    }
    FillRectangle(dest, 0, 0, dest->Width(), dest->Height(), colour, 1.0f, ModeCopy);
}

void CopyBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src) {
    if (dest == nullptr || src == nullptr || dest == src) {
        return;
    }
    // A source without pixels (a picture that could not be decoded) copies as
    // nothing: dest becomes empty rather than a size of undefined pixels.
    if (src->Pixels() == nullptr) {
        dest->Resize(0, 0);
        return;
    }
    dest->Resize(src->Width(), src->Height());
    Blit(dest, src, 0, 0, 0, 0, src->Width(), src->Height(), 1.0f, ModeCopy);
}

}  // namespace LICE
