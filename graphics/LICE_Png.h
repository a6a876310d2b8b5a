#pragma once

#include <cstddef>

#include "graphics/LICE_IBitmap.h"
#include "graphics/LICE_Resource.h"

// PNG pictures into bitmaps of 0xAARRGGBB words with straight alpha. Every
// colour type and bit depth decodes; an image without alpha gets alpha 255.
//
// Ownership: with dest, the picture goes into dest (resized to the image) and
// dest is returned; without dest, a new LICE_MemBitmap (row alignment 4) is
// returned and the caller owns it. Null on any failure: a bad signature, a
// truncated or corrupt stream, or an image larger than the limits below. After
// a failure dest keeps its new size but its pixels are undefined.
namespace LICE {

// Largest width or height accepted, and largest pixel count (64 MiB of pixels).
constexpr unsigned kPngMaxDimension = 1u << 20;
constexpr unsigned long long kPngMaxPixels = 1ull << 24;

LICE_IBitmap* DecodePng(const unsigned char* bytes, std::size_t length, LICE_IBitmap* dest);

// The picture's size from its header (the chunks before the image data),
// without decoding any pixels: false when DecodePng would refuse the picture
// before reaching its image data (a bad signature, chunks running past the
// end, an unreadable header, a size beyond the limits above). A picture whose
// size reads may still fail to decode when its image data is damaged.
bool ReadPngSize(const unsigned char* bytes, std::size_t length, int* width, int* height);

// Decodes the resource of type "PNG" with the integer id in the module
// `instance` (see LICE_Resource.h). Null when it is missing or shorter than the
// 8-byte signature.
LICE_IBitmap* LoadPngResource(LICE_ModuleHandle instance, int id, LICE_IBitmap* dest);

}  // namespace LICE
