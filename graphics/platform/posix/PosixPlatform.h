#pragma once

#include <memory>

class LICE_IBitmap;
class LICE_IFont;
class ITextStyle;

// What the window layers that draw on a POSIX system answer alike when their
// graphics context asks for pictures or fonts: the editor's pictures
// (embedded PNGs, decoded with libpng) and fonts (FreeType and fontconfig).
// Their folders come from PosixFolders. Called on the editor's thread.
class PosixPlatform {
public:
    // The embedded picture `id`, for a name whose extension is "png" in any
    // letter case; null otherwise. Only its header is read now; the pixels are
    // decoded when first drawn.
    static std::unique_ptr<LICE_IBitmap> LoadPicture(int id, const char* name);
    // A font for `style` (the font keeps its own copy of the description).
    static std::unique_ptr<LICE_IFont> CreateFont(const ITextStyle& style);
};
