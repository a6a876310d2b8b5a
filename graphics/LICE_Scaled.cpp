#include "graphics/LICE_Scaled.h"

namespace LICE {
void ScaledBlit(LICE_IBitmap*, const LICE_IBitmap*, int, int, int, int, float, float, float, float, float, int) {}
void RotatedBlit(LICE_IBitmap*, const LICE_IBitmap*, int, int, int, int, float, float, float, float, float, bool,
                 float, int, float, float) {}
}  // namespace LICE
