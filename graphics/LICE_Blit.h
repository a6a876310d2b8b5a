#pragma once

#include "graphics/LICE_IBitmap.h"

// Combining bitmaps and colours pixel by pixel. Every operation clips to both
// bitmaps: whatever the arguments, nothing outside a bitmap is read or
// written. A missing bitmap, a weight of 0 (or NaN) or an empty rectangle does
// nothing. Weights above 1 count as 1; a = (int)(weight × 256) is the integer
// weight, 256 fully opaque. Arithmetic is on bytes with 32-bit integer products
// and divisions that truncate toward zero.
namespace LICE {

// Combines the source rectangle (srcX, srcY, srcW, srcH) into dest at
// (dstX, dstY) by mode and weight.
void Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int srcW,
          int srcH, float weight, int mode);

// Combines the colour 0xAARRGGBB into the rectangle. With ModeUseSourceAlpha
// the weight is multiplied by the colour's alpha / 255.
void FillRectangle(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel colour, float weight, int mode);

// Writes the colour word into every pixel of the bitmap.
void Clear(LICE_IBitmap* dest, LICE_pixel colour);

// Resizes dest to the source's size and copies all of it (weight 1, ModeCopy).
// A source without pixels makes dest 0 × 0.
void CopyBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src);

}  // namespace LICE
