#pragma once

// What a font is, as the graphics context asks for it. On platforms without
// native font handles this record is the font handle given to
// LICE_IFont::SetFromHFont; on Windows the handle is a real HFONT instead.
struct LICE_FontDescription {
    char faceName[32] = {};  // NUL-terminated; matched loosely (a missing face falls back to a sans face)
    int height = 12;         // character height in pixels
    int weight = 400;        // 400 normal, 700 bold (Win32 weights)
    bool italic = false;
};
