#include "graphics/LICE_Shapes.h"

namespace LICE {
void PutPixel(LICE_IBitmap*, int, int, LICE_pixel, float, int) {}
LICE_pixel GetPixel(const LICE_IBitmap*, int, int) { return 0; }
void Line(LICE_IBitmap*, float, float, float, float, LICE_pixel, float, int, bool) {}
void Arc(LICE_IBitmap*, float, float, float, float, float, LICE_pixel, float, int, bool) {}
void Circle(LICE_IBitmap*, float, float, float, LICE_pixel, float, int, bool) {}
void FillCircle(LICE_IBitmap*, float, float, float, LICE_pixel, float, int, bool) {}
void RoundRect(LICE_IBitmap*, float, float, float, float, int, LICE_pixel, float, int, bool) {}
void FillTriangle(LICE_IBitmap*, int, int, int, int, int, int, LICE_pixel, float, int) {}
void FillConvexPolygon(LICE_IBitmap*, const int*, const int*, int, LICE_pixel, float, int) {}
}  // namespace LICE
