#pragma once

#include <cstddef>

#include "graphics/LICE_IBitmap.h"

// The editor's back buffer: a bitmap the platform can copy to the screen.
// On Windows its pixels are a top-down 32-bit DIB section selected into a
// memory device context; elsewhere they are plain memory and there is no
// device context. Rows are padded to a multiple of 4 pixels, and the surface
// never shrinks: a smaller size reuses it (RowSpan stays the allocated width).
class LICE_SysBitmap final : public LICE_IBitmap {
public:
    LICE_SysBitmap(int w = 0, int h = 0);
    ~LICE_SysBitmap() override;
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

    LICE_pixel* Pixels() const override { return pixels_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return allocWidth_; }
    bool Resize(int w, int h) override;
    void* DeviceContext() const override { return context_; }

private:
    // Platform part, one implementation file per platform (graphics/platform/).
    bool OpenContext();                    // makes context_ (or notes there is none to make)
    void CloseContext();                   // releases context_
    bool CreateSurface(int allocW, int allocH);  // fills pixels_ and surface_
    void ReleaseSurface();                 // frees surface_, pixels_ = null

    int width_ = 0;
    int height_ = 0;
    int allocWidth_ = 0;
    int allocHeight_ = 0;
    LICE_pixel* pixels_ = nullptr;
    bool hasContext_ = false;
    void* context_ = nullptr;         // HDC on Windows; null elsewhere
    void* surface_ = nullptr;         // HBITMAP on Windows; the memory block elsewhere
    void* previousObject_ = nullptr;  // what the device context held before the section
};
