#pragma once

#include <memory>

#include "graphics/LICE_IFont.h"

// A font that renders each glyph once into its own cache of coverage masks
// and composes text from the cache with the text colour. Elsewhere than on
// Windows the glyphs come from FreeType and the face from the system's fonts
// (a sans face when the named one is missing). When no face can be loaded at
// all, DrawText draws nothing and measures 0.
class LICE_CachedFont final : public LICE_IFont {
public:
    LICE_CachedFont();
    ~LICE_CachedFont() override;
    LICE_CachedFont(const LICE_CachedFont&) = delete;
    LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

    void SetFromHFont(LICE_FontHandle font, int flags) override;
    void SetTextColour(LICE_pixel colour) override;
    void SetBackgroundColour(LICE_pixel colour) override;
    void SetBackgroundMode(int mode) override;
    void SetCombineMode(int mode, float weight) override;
    void SetLineSpacing(int pixels) override;
    int DrawText(LICE_IBitmap* dest, const char* text, int length, LICE_Rect* rect, int flags) override;
    LICE_pixel GetTextColour() const override;
    LICE_FontHandle GetHFont() const override;
    int GetLineHeight() const override;

private:
    struct Impl;  // settings, glyph cache and the platform's glyph source
    std::unique_ptr<Impl> impl_;
};
