#pragma once

#include <cstdint>

// The pixel word of every bitmap: 0xAARRGGBB, straight (not premultiplied)
// alpha. In memory on a little-endian machine the bytes of a pixel run blue,
// green, red, alpha.
using LICE_pixel = std::uint32_t;

namespace LICE {

// Blend modes. The low byte chooses the operation; the flags above it modify it.
constexpr int ModeCopy = 0;
constexpr int ModeAdd = 1;
constexpr int ModeDodge = 2;
constexpr int ModeMultiply = 3;  // dst × src / 255
constexpr int ModeOverlay = 4;   // multiply in the dark half, screen in the bright half
constexpr int ModeScreen = 5;    // 255 − (255 − dst)(255 − src) / 255
constexpr int ModeMask = 0xFF;   // the operation byte
// A low byte above 239 copies one channel: source byte index = mode & 3,
// destination byte index = (mode >> 2) & 3 (byte 0 is blue, 3 is alpha).
constexpr int ModeChannelCopyFirst = 240;
constexpr int ModeFilter = 0x100;            // bilinear filtering in scaled and rotated blits
constexpr int ModeUseSourceAlpha = 0x10000;  // weight each pixel by the source's alpha

// A channel-copy mode taking source byte `from` into destination byte `to`.
constexpr int ModeChannelCopy(int from, int to) { return ModeChannelCopyFirst | ((to & 3) << 2) | (from & 3); }

constexpr LICE_pixel Rgba(int r, int g, int b, int a) {
    return (static_cast<LICE_pixel>(a & 0xFF) << 24) | (static_cast<LICE_pixel>(r & 0xFF) << 16) |
           (static_cast<LICE_pixel>(g & 0xFF) << 8) | static_cast<LICE_pixel>(b & 0xFF);
}
constexpr int Alpha(LICE_pixel p) { return static_cast<int>(p >> 24); }
constexpr int Red(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int Green(LICE_pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int Blue(LICE_pixel p) { return static_cast<int>(p & 0xFF); }

}  // namespace LICE
