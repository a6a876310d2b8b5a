#pragma once

#include "graphics/LICE_IBitmap.h"
#include "graphics/LICE_Rect.h"

#ifdef _WIN32
using LICE_FontHandle = void*;  // HFONT
#else
struct LICE_FontDescription;
using LICE_FontHandle = const LICE_FontDescription*;
#endif

namespace LICE {
// DrawText flags.
constexpr int TextCentred = 1;
constexpr int TextRight = 2;
constexpr int TextNoClip = 0x100;          // do not clip to the rectangle (the bitmap still clips)
constexpr int TextCalcRect = 0x400;        // only measure: set the rectangle's right and bottom
constexpr int TextUseColourAlpha = 0x40000000;  // weight the text by the colour's alpha
// SetFromHFont flags.
constexpr int FontOwnsHandle = 0x200;      // the font deletes the handle when it is done with it (Windows)
constexpr int FontPreferNative = 0x400;    // let the system draw the text where it can (Windows)
// SetBackgroundMode values.
constexpr int BackgroundTransparent = 0;
constexpr int BackgroundOpaque = 1;
}  // namespace LICE

// A font that draws text into bitmaps.
//
// Threads: fonts are made, set up and drawn with on the editor's thread (the
// host's user-interface thread). The graphics context's font cache creates
// them under its lock; drawing takes no lock.
class LICE_IFont {
public:
    // Called by the font cache at module unload, or by the owner; no lock.
    virtual ~LICE_IFont() = default;
    // Chooses the font. flags: FontOwnsHandle, FontPreferNative. Where the
    // handle is a LICE_FontDescription the font copies it, so the record may be
    // temporary. Called by the graphics context's font cache under its lock, on
    // the editor's thread.
    virtual void SetFromHFont(LICE_FontHandle font, int flags) = 0;
    // Colour of the text, 0xAARRGGBB. Called by the graphics context before
    // every DrawText, editor thread, no lock.
    virtual void SetTextColour(LICE_pixel colour) = 0;
    // Colour filled behind the text with BackgroundOpaque. Same caller.
    virtual void SetBackgroundColour(LICE_pixel colour) = 0;
    // BackgroundTransparent (default) or BackgroundOpaque. Same caller.
    virtual void SetBackgroundMode(int mode) = 0;
    // How the text combines with the bitmap: a blit mode (ModeCopy default)
    // and a weight (1 default). Same caller.
    virtual void SetCombineMode(int mode, float weight) = 0;
    // Extra pixels between lines of a multi-line text (default 0). Same caller.
    virtual void SetLineSpacing(int pixels) = 0;
    // Draws text (UTF-8; length −1 for NUL-terminated) inside rect, aligned by
    // flags, or with TextCalcRect only measures it: rect's right and bottom are
    // set to left + width and top + height. Returns the text's height in
    // pixels (0 when nothing can be drawn). Called by the graphics context on
    // the editor's thread; no lock.
    virtual int DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) = 0;
    // Accessors; same caller, no lock.
    virtual LICE_pixel GetTextColour() const = 0;
    virtual LICE_FontHandle GetHFont() const = 0;
    virtual int GetLineHeight() const = 0;

protected:
    LICE_IFont() = default;
};
