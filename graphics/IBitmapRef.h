#pragma once

#include <cstdint>

class LICE_IBitmap;

// A handle to a decoded bitmap in the process-wide bitmap cache (which owns
// it), with the size of the whole image and how it divides into frames.
//
// The empty reference (no bitmap, size 0 × 0) is what LoadBitmap returns when
// the picture cannot be had; every drawing operation skips it, and controls
// made from it are 0 × 0 and therefore never hit.
class IBitmapRef {
public:
    LICE_IBitmap* bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameCount = 1;
    bool framesHorizontal = false;

    IBitmapRef() = default;
    IBitmapRef(LICE_IBitmap* b, int32_t w, int32_t h, int32_t frames = 1, bool horizontal = false)
        : bitmap(b), width(w), height(h), frameCount(frames), framesHorizontal(horizontal) {}

    bool IsEmpty() const { return bitmap == nullptr; }
    // At least 1, so a frame count of 0 or less reads as a plain image.
    int32_t Frames() const { return frameCount < 1 ? 1 : frameCount; }
    // The size of one frame: frames side by side divide the width, stacked
    // frames the height (integer division).
    int32_t FrameWidth() const { return framesHorizontal ? width / Frames() : width; }
    int32_t FrameHeight() const { return framesHorizontal ? height : height / Frames(); }

    // The 1-based frame that shows a normalised value: value 0 the first
    // frame, 1 the last, each frame an equal share of the range with the
    // boundaries halfway between frame values: (int)((N - 1) × v + 0.5) + 1,
    // limited to 1 .. N.
    int32_t FrameForValue(double v) const {
        const int32_t n = Frames();
        if (n < 2) return 1;
        const int32_t frame = static_cast<int32_t>((n - 1) * v + 0.5) + 1;
        return frame < 1 ? 1 : (frame > n ? n : frame);
    }
};
