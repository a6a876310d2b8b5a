#pragma once

#include "graphics/LICE_IBitmap.h"

// Shape primitives. Each combines a colour 0xAARRGGBB with the pixels it
// covers by weight and mode as a one-pixel Blit would. Callers pass the mode
// without the source-alpha flag; given it anyway, the colour's alpha scales
// the weight as in FillRectangle. Coordinates are pixel positions (the centre of pixel
// (x, y) is (x + 0.5, y + 0.5) for the float forms); anything outside the
// bitmap is clipped, and non-finite coordinates draw nothing. With antialias
// the weight of edge pixels is scaled by their coverage.
namespace LICE {

void PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel colour, float weight, int mode);
// The pixel at (x, y), or 0 outside the bitmap.
LICE_pixel GetPixel(const LICE_IBitmap* src, int x, int y);

void Line(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel colour, float weight, int mode,
          bool antialias);
// Part of a circle outline from minAngle to maxAngle (radians, 0 pointing up,
// clockwise).
void Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle, LICE_pixel colour,
         float weight, int mode, bool antialias);
void Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel colour, float weight, int mode,
            bool antialias);
void FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel colour, float weight, int mode,
                bool antialias);
// Outline of the rectangle (x, y, w, h) with quarter-circle corners of the
// given radius.
void RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerRadius, LICE_pixel colour,
               float weight, int mode, bool antialias);
// Fills the pixels whose centres lie inside the triangle / convex polygon.
void FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3, LICE_pixel colour,
                  float weight, int mode);
void FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int count, LICE_pixel colour, float weight,
                       int mode);

}  // namespace LICE
