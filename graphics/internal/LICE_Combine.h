#pragma once

// Per-pixel combining rules shared by the blits, fills, shapes and text.
// Internal to the pixel layer.
//
// Every rule takes the destination and source words and returns the new
// destination word. The integer weight a runs 0..256 (256 fully opaque).
// Arithmetic is on bytes with 32-bit products; every division truncates toward
// zero (C++ integer division), so a negative difference rounds toward zero.

#include <algorithm>
#include <cmath>

#include "graphics/LICE_Pixel.h"

namespace LICE {
namespace detail {

// The integer weight of a float weight: (int)(weight × 256), limited to 0..256.
// NaN and non-positive weights give 0 ("draw nothing").
inline int IntWeight(float weight) {
    if (!(weight > 0.0f)) {
        return 0;
    }
    if (weight >= 1.0f) {
        return 256;
    }
    return static_cast<int>(weight * 256.0f);
}

inline int Byte(LICE_pixel p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }
inline LICE_pixel Pack(int b, int g, int r, int a) {
    return static_cast<LICE_pixel>(b) | (static_cast<LICE_pixel>(g) << 8) | (static_cast<LICE_pixel>(r) << 16) |
           (static_cast<LICE_pixel>(a) << 24);
}
inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
// s + (d − s) × w / 256: moves from the source toward the destination by w/256.
inline int Mix(int s, int d, int w) { return s + (d - s) * w / 256; }
// The source-alpha weight k = a × (s + 1) / 256 for source alpha s.
inline int AlphaWeight(int a, int s) { return a * (s + 1) / 256; }

// ModeCopy at weight a: each of the four bytes dst = src + (dst − src)(256 − a)/256.
struct CopyOp {
    int a;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        const int w = 256 - a;
        return Pack(Mix(Byte(s, 0), Byte(d, 0), w), Mix(Byte(s, 1), Byte(d, 1), w), Mix(Byte(s, 2), Byte(d, 2), w),
                    Mix(Byte(s, 3), Byte(d, 3), w));
    }
};

// ModeCopy | ModeUseSourceAlpha at full weight: alpha 0 leaves the pixel,
// alpha 255 copies the colour and makes it opaque, otherwise the colour moves
// by (255 − s)/256 and the alpha grows by s (at most 255).
struct SourceAlphaCopyFullOp {
    int a = 256;  // always full weight; present so every rule has a weight member
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        const int sa = Byte(s, 3);
        if (sa == 0) {
            return d;
        }
        if (sa == 255) {
            return s | 0xFF000000u;
        }
        const int w = 255 - sa;
        return Pack(Mix(Byte(s, 0), Byte(d, 0), w), Mix(Byte(s, 1), Byte(d, 1), w), Mix(Byte(s, 2), Byte(d, 2), w),
                    std::min(255, Byte(d, 3) + sa));
    }
};

// ModeCopy | ModeUseSourceAlpha below full weight: k = a(s + 1)/256; colour
// dst = src + (dst − src)(256 − k)/256; alpha min(255, dst alpha + k).
struct SourceAlphaCopyOp {
    int a;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        const int sa = Byte(s, 3);
        if (sa == 0) {
            return d;
        }
        const int k = AlphaWeight(a, sa);
        const int w = 256 - k;
        return Pack(Mix(Byte(s, 0), Byte(d, 0), w), Mix(Byte(s, 1), Byte(d, 1), w), Mix(Byte(s, 2), Byte(d, 2), w),
                    std::min(255, Byte(d, 3) + k));
    }
};

// ModeAdd: each of the four bytes dst = clamp(dst + a × src / 256).
struct AddOp {
    int a;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        return Pack(std::min(255, Byte(d, 0) + a * Byte(s, 0) / 256), std::min(255, Byte(d, 1) + a * Byte(s, 1) / 256),
                    std::min(255, Byte(d, 2) + a * Byte(s, 2) / 256), std::min(255, Byte(d, 3) + a * Byte(s, 3) / 256));
    }
};

// ModeAdd | ModeUseSourceAlpha: k = a(s + 1)/256; colour dst = clamp(dst + k ×
// src / 256); alpha clamp(dst alpha + s × k / 256); alpha 0 leaves the pixel.
struct SourceAlphaAddOp {
    int a;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        const int sa = Byte(s, 3);
        if (sa == 0) {
            return d;
        }
        const int k = AlphaWeight(a, sa);
        return Pack(std::min(255, Byte(d, 0) + k * Byte(s, 0) / 256), std::min(255, Byte(d, 1) + k * Byte(s, 1) / 256),
                    std::min(255, Byte(d, 2) + k * Byte(s, 2) / 256), std::min(255, Byte(d, 3) + sa * k / 256));
    }
};

// Colour dodge of one byte d by source byte c at weight k: t = c × k / 256;
// dst × 256 / (256 − t), or dst × 256 when t > 254; clamped to 255.
inline int DodgeByte(int d, int c, int k) {
    const int t = c * k / 256;
    return Clamp255(t > 254 ? d * 256 : d * 256 / (256 - t));
}

// ModeDodge on all four bytes. With the source-alpha flag the weight is
// k = a(s + 1)/256; without it the weight is a itself.
template <bool UseSourceAlpha>
struct DodgeOp {
    int a;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        const int k = UseSourceAlpha ? AlphaWeight(a, Byte(s, 3)) : a;
        return Pack(DodgeByte(Byte(d, 0), Byte(s, 0), k), DodgeByte(Byte(d, 1), Byte(s, 1), k),
                    DodgeByte(Byte(d, 2), Byte(s, 2), k), DodgeByte(Byte(d, 3), Byte(s, 3), k));
    }
};

// Modes 3, 4 and 5 (never used by the editor; this arithmetic is ours):
// a function f(dst, src) of the two bytes, reached by weight k:
// dst + (f − dst) × k / 256. Without the source-alpha flag all four bytes go
// through f at k = a; with it, k = a(s + 1)/256, the colour goes through f
// and the alpha grows by k (at most 255), and alpha 0 leaves the pixel.
struct MultiplyFn {
    static int F(int d, int s) { return d * s / 255; }
};
struct OverlayFn {
    static int F(int d, int s) { return d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255; }
};
struct ScreenFn {
    static int F(int d, int s) { return 255 - (255 - d) * (255 - s) / 255; }
};

template <class Fn, bool UseSourceAlpha>
struct FunctionOp {
    int a;
    static int Toward(int d, int f, int k) { return d + (f - d) * k / 256; }
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        if (UseSourceAlpha) {
            const int sa = Byte(s, 3);
            if (sa == 0) {
                return d;
            }
            const int k = AlphaWeight(a, sa);
            return Pack(Toward(Byte(d, 0), Fn::F(Byte(d, 0), Byte(s, 0)), k),
                        Toward(Byte(d, 1), Fn::F(Byte(d, 1), Byte(s, 1)), k),
                        Toward(Byte(d, 2), Fn::F(Byte(d, 2), Byte(s, 2)), k), std::min(255, Byte(d, 3) + k));
        }
        return Pack(Toward(Byte(d, 0), Fn::F(Byte(d, 0), Byte(s, 0)), a),
                    Toward(Byte(d, 1), Fn::F(Byte(d, 1), Byte(s, 1)), a),
                    Toward(Byte(d, 2), Fn::F(Byte(d, 2), Byte(s, 2)), a),
                    Toward(Byte(d, 3), Fn::F(Byte(d, 3), Byte(s, 3)), a));
    }
};

// Channel copy (low byte above 239): the destination byte `to` moves toward
// the source byte `from` as a copy would, at k = a, or a(s + 1)/256 with the
// source-alpha flag (alpha 0 then leaves the pixel). Other bytes stay.
template <bool UseSourceAlpha>
struct ChannelCopyOp {
    int a;
    int from;
    int to;
    LICE_pixel operator()(LICE_pixel d, LICE_pixel s) const {
        int k = a;
        if (UseSourceAlpha) {
            const int sa = Byte(s, 3);
            if (sa == 0) {
                return d;
            }
            k = AlphaWeight(a, sa);
        }
        const int v = Mix(Byte(s, from), Byte(d, to), 256 - k);
        const LICE_pixel mask = LICE_pixel{0xFF} << (8 * to);
        return (d & ~mask) | (static_cast<LICE_pixel>(v) << (8 * to));
    }
};

// Calls f with the per-channel function rule Fn, with or without the source's alpha.
template <class Fn, class F>
void WithFunctionOp(bool sourceAlpha, int a, F& f) {
    if (sourceAlpha) {
        f(FunctionOp<Fn, true>{a});
    } else {
        f(FunctionOp<Fn, false>{a});
    }
}

// Calls f(op) with the rule for mode and integer weight a, so the caller's
// loop is compiled once per rule and chosen once per call. Low bytes 6..239
// behave as ModeCopy.
template <class F>
void WithOp(int mode, int a, F&& f) {
    const int op = mode & ModeMask;
    const bool sourceAlpha = (mode & ModeUseSourceAlpha) != 0;
    if (op >= ModeChannelCopyFirst) {
        const int from = op & 3;
        const int to = (op >> 2) & 3;
        if (sourceAlpha) {
            f(ChannelCopyOp<true>{a, from, to});
        } else {
            f(ChannelCopyOp<false>{a, from, to});
        }
        return;
    }
    switch (op) {
        case ModeAdd:
            if (sourceAlpha) {
                f(SourceAlphaAddOp{a});
            } else {
                f(AddOp{a});
            }
            return;
        case ModeDodge:
            if (sourceAlpha) {
                f(DodgeOp<true>{a});
            } else {
                f(DodgeOp<false>{a});
            }
            return;
        case ModeMultiply:
            WithFunctionOp<MultiplyFn>(sourceAlpha, a, f);
            return;
        case ModeOverlay:
            WithFunctionOp<OverlayFn>(sourceAlpha, a, f);
            return;
        case ModeScreen:
            WithFunctionOp<ScreenFn>(sourceAlpha, a, f);
            return;
        default:
            if (sourceAlpha) {
                if (a >= 256) {
                    f(SourceAlphaCopyFullOp{});
                } else {
                    f(SourceAlphaCopyOp{a});
                }
            } else {
                f(CopyOp{a});
            }
            return;
    }
}

}  // namespace detail
}  // namespace LICE
