#include "graphics/LICE_Png.h"

namespace LICE {
LICE_IBitmap* DecodePng(const unsigned char*, std::size_t, LICE_IBitmap*) { return nullptr; }
LICE_IBitmap* LoadPngResource(LICE_ModuleHandle, int, LICE_IBitmap*) { return nullptr; }
}  // namespace LICE
