#pragma once

#include <cstdint>

#include "graphics/LICE_Pixel.h"

// How a control's pixels combine with what lies below: a method and a
// weight from 0 (invisible) to 1 (opaque).
class IBlend {
public:
    enum Method : int32_t { kAlpha = 0, kCopy = 1, kAdd = 2, kDodge = 3 };

    int32_t method = kAlpha;
    float weight = 1.0f;

    constexpr IBlend() = default;
    constexpr IBlend(int32_t blendMethod, float blendWeight) : method(blendMethod), weight(blendWeight) {}

    // The bitmap layer's mode for images: alpha blending with the source's own
    // alpha unless the method asks for a plain copy; unknown methods blend.
    constexpr int ImageMode() const {
        switch (method) {
            case kCopy: return LICE::ModeCopy;
            case kAdd: return LICE::ModeAdd | LICE::ModeUseSourceAlpha;
            case kDodge: return LICE::ModeDodge | LICE::ModeUseSourceAlpha;
            default: return LICE::ModeCopy | LICE::ModeUseSourceAlpha;
        }
    }
    // The mode for shapes (lines, circles, arcs): the operation without the
    // source-alpha flag; unknown methods copy.
    constexpr int ShapeMode() const {
        switch (method) {
            case kAdd: return LICE::ModeAdd;
            case kDodge: return LICE::ModeDodge;
            default: return LICE::ModeCopy;
        }
    }
};

// The blend of drawing operations called without one: alpha blending, opaque.
inline const IBlend* BlendOrDefault(const IBlend* blend) {
    static const IBlend kDefault;
    return blend ? blend : &kDefault;
}
