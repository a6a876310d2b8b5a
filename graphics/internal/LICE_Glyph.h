#pragma once

#include <vector>

// One glyph as a glyph source renders it: an 8-bit coverage mask placed
// relative to the pen position on the baseline, and the pen's advance.
// Internal to the cached font.
struct LICE_Glyph {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the mask's left edge
    int top = 0;      // from the baseline up to the mask's top row
    int advance = 0;  // pen movement, whole pixels
    std::vector<unsigned char> coverage;  // width × height, 0..255
};
