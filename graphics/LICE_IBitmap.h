#pragma once

#include <cstdint>

#include "graphics/LICE_Pixel.h"

// An abstract 32-bit pixel surface. Rows run top to bottom, RowSpan() pixels
// apart (at least Width()). A bitmap whose allocation failed is 0 × 0 with no
// pixels; a picture whose image data could not be decoded keeps its size but
// has no pixels either (LICE_PngBitmap). Every drawing operation asks for the
// pixels first and skips a bitmap without them.
//
// Threads: a bitmap has no lock of its own. Bitmaps are made, drawn and
// destroyed on the editor's thread (the host's user-interface thread); the
// pictures shared through the graphics context's cache decode themselves on
// their first Pixels() call, which is safe from any thread.
class LICE_IBitmap {
public:
    // Called by the owner (the graphics context, the bitmap cache, tests) on the
    // editor's thread; no lock.
    virtual ~LICE_IBitmap() = default;

    // The first pixel of the top row, or null when the bitmap holds none.
    // Called by every drawing operation on the editor's thread; no lock (a
    // picture that decodes on first use guards that itself).
    virtual LICE_pixel* Pixels() const = 0;
    // Size in pixels. Called by drawing operations and the graphics context on
    // the editor's thread; no lock.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Distance between rows, in pixels. Same callers as Width().
    virtual int RowSpan() const = 0;
    // Whether rows run bottom to top. No bitmap of this program is flipped.
    // Same callers as Width().
    virtual bool IsFlipped() const { return false; }
    // Changes the size; true when anything changed. Pixels are not kept in
    // place or cleared. Called by the bitmap's owner and by CopyBitmap and
    // DecodePng on the editor's thread; no lock.
    virtual bool Resize(int w, int h) = 0;
    // The platform drawing context bound to the pixels (a device context on
    // Windows), or null. Called by the window layer on the editor's thread when
    // it copies the back buffer to the screen; no lock.
    virtual void* DeviceContext() const { return nullptr; }
    // Extension hook for queries a particular bitmap kind may answer; 0 means
    // "not understood". Called by whoever knows the id; no lock.
    virtual std::intptr_t Extended(int id, void* data) {
        (void)id;
        (void)data;
        return 0;
    }

protected:
    LICE_IBitmap() = default;
    LICE_IBitmap(const LICE_IBitmap&) = default;
    LICE_IBitmap& operator=(const LICE_IBitmap&) = default;
};
