#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/LICE_IFont.h"
#include "graphics/internal/LICE_Glyph.h"

// Where LICE_CachedFont's glyphs come from: the platform's font machinery
// (FreeType elsewhere, GDI on Windows). The cached font keeps the state that
// does not depend on it - colours, modes, spacing, the glyph cache - and lays
// out and composes the text; a source loads the face, turns text into the
// codes it renders, renders one glyph and, where the system can, draws a
// whole line itself. Internal to the cached font.
//
// Threads: every operation is called by the LICE_CachedFont that owns the
// source, on the editor's thread (the host's user-interface thread).
// SetFromHFont runs under the graphics context's font cache lock (the cache
// sets fonts up under it); the others take no lock.
class LICE_GlyphSource {
public:
    // Receives a line's coverage as the system drew it: width × height
    // samples 0..255, rows `pitch` bytes apart, samples `stride` bytes apart,
    // the top left sample at the line's pen position and top.
    using LineCoverage =
        std::function<void(const unsigned char* coverage, int width, int height, std::ptrdiff_t pitch, int stride)>;

    // Called when the cached font is destroyed; no lock.
    virtual ~LICE_GlyphSource() = default;
    LICE_GlyphSource(const LICE_GlyphSource&) = delete;
    LICE_GlyphSource& operator=(const LICE_GlyphSource&) = delete;

    // Loads the face the handle names, dropping the previous one (a null
    // handle leaves none). flags as for LICE_IFont::SetFromHFont. Called by
    // LICE_CachedFont::SetFromHFont, under the font cache's lock.
    virtual void SetFromHFont(LICE_FontHandle font, int flags) = 0;
    // The handle GetHFont hands out: the source's own copy of the
    // description, or the HFONT. Called by LICE_CachedFont::GetHFont.
    virtual LICE_FontHandle Handle() const = 0;
    // Whether a face is loaded; without one DrawText draws nothing and
    // measures 0. Called by LICE_CachedFont::DrawText.
    virtual bool Loaded() const = 0;
    // Pixels from the top of a line down to its baseline, and from one
    // baseline to the next (0 without a face). Called by DrawText and
    // GetLineHeight.
    virtual int Ascender() const = 0;
    virtual int LineHeight() const = 0;
    // Replaces `codes` with the codes of the first n bytes of text, one per
    // glyph the source renders ('\n' and '\r' among them). A text that is not
    // well-formed UTF-8 is still decoded, never refused. Called by DrawText.
    virtual void Decode(const char* text, std::size_t n, std::vector<std::uint32_t>& codes) const = 0;
    // Renders one code's glyph into `glyph` (left empty but for the advance,
    // or all zero, when the face has nothing to draw). The cached font keeps
    // the result, so each code is rendered once. Called by DrawText.
    virtual void RenderGlyph(std::uint32_t code, LICE_Glyph& glyph) = 0;
    // Has the system draw one line of `count` codes, `width` pixels wide (the
    // sum of the glyphs' advances, never negative), and hands the coverage to `compose`
    // before returning. Returns false, having drawn nothing, where the source
    // leaves lines to the glyphs: then the cached font composes them glyph by
    // glyph. drawFlags are DrawText's. Called by DrawText for each line that
    // is not empty.
    virtual bool DrawLine(const std::uint32_t* codes, std::size_t count, std::int64_t width, int drawFlags,
                          const LineCoverage& compose) = 0;

protected:
    LICE_GlyphSource() = default;
};

// The platform's glyph source, without a face. Defined by the platform's
// source file (platform/posix or platform/win32).
std::unique_ptr<LICE_GlyphSource> LICE_MakeGlyphSource();
