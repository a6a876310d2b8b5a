#include "graphics/LICE_Blit.h"

namespace LICE {
void Blit(LICE_IBitmap*, const LICE_IBitmap*, int, int, int, int, int, int, float, int) {}
void FillRectangle(LICE_IBitmap*, int, int, int, int, LICE_pixel, float, int) {}
void Clear(LICE_IBitmap*, LICE_pixel) {}
void CopyBitmap(LICE_IBitmap*, const LICE_IBitmap*) {}
}  // namespace LICE
