#pragma once

#include <cstdint>

// A colour: alpha, red, green, blue, each 0 to 255; alpha 255 is opaque.
class IRgba {
public:
    int32_t a = 255;
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;

    constexpr IRgba() = default;
    constexpr IRgba(int32_t alpha, int32_t red, int32_t green, int32_t blue)
        : a(alpha), r(red), g(green), b(blue) {}

    // The pixel word of the bitmap layer, 0xAARRGGBB.
    constexpr uint32_t Packed() const {
        return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
               (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
    }
    // The Windows colour value: red in the low byte, alpha dropped.
    constexpr uint32_t ColourRef() const {
        return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8) |
               (static_cast<uint32_t>(b & 0xFF) << 16);
    }
    static constexpr IRgba FromPacked(uint32_t pixel) {
        return IRgba(static_cast<int32_t>(pixel >> 24), static_cast<int32_t>((pixel >> 16) & 0xFF),
                     static_cast<int32_t>((pixel >> 8) & 0xFF), static_cast<int32_t>(pixel & 0xFF));
    }

    constexpr bool operator==(const IRgba& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
    constexpr bool operator!=(const IRgba& o) const { return !(*this == o); }
};
