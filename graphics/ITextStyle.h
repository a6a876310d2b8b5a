#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graphics/IRgba.h"

class LICE_IFont;

// How a text is drawn and how the in-place text entry looks. Every control
// starts with the defaults below.
class ITextStyle {
public:
    static constexpr int kFontNameSize = 32;
    enum Style : int32_t { kNormal = 0, kBold = 1, kItalic = 2 };
    enum Align : int32_t { kLeft = 0, kCentre = 1, kRight = 2 };
    enum Quality : int32_t { kDefaultQuality = 0, kNoAntialias = 1, kAntialias = 2, kSubpixel = 3 };

    char fontName[kFontNameSize] = "Verdana";
    int32_t size = 12;                         // character height in pixels
    IRgba colour{255, 0, 0, 0};
    IRgba entryBackground{255, 255, 255, 255};
    IRgba entryForeground{255, 0, 0, 0};
    int32_t style = kNormal;
    int32_t align = kCentre;
    int32_t orientation = 0;                   // degrees
    int32_t quality = kDefaultQuality;
    // The font in the process-wide font cache that matches this style; the
    // cache owns it. Empty until the style is first used to draw or measure.
    LICE_IFont* cachedFont = nullptr;

    ITextStyle() = default;
    ITextStyle(const char* name, int32_t sizePixels, IRgba textColour, int32_t textStyle = kNormal,
               int32_t alignment = kCentre)
        : size(sizePixels), colour(textColour), style(textStyle), align(alignment) {
        SetFontName(name);
    }

    // Copies at most 31 characters and terminates.
    void SetFontName(const char* name) {
        std::memset(fontName, 0, sizeof fontName);
        if (!name) return;
        const size_t n = std::min(std::strlen(name), static_cast<size_t>(kFontNameSize - 1));
        std::memcpy(fontName, name, n);
    }
};
