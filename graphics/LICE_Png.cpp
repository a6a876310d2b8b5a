#include "graphics/LICE_Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/LICE_MemBitmap.h"

// Decoding runs under libpng's error handling, which leaves a failing call by
// longjmp back to the setjmp in ReadImage. Nothing with a destructor may live
// in the frames it jumps over, so all the state of one decode is a plain
// record owned by DecodePng's frame (outside the jump), and everything that
// needs releasing is released there, on success and failure alike.

namespace LICE {
namespace {

struct MemoryReader {
    const unsigned char* bytes;
    std::size_t length;
    std::size_t position;
};

struct Decode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryReader reader{};
    LICE_IBitmap* dest = nullptr;          // the caller's bitmap, or null
    LICE_MemBitmap* created = nullptr;     // our bitmap while it is not yet handed out
    png_bytep* rows = nullptr;             // malloc'd row pointers
};

// Copies the next bytes of the picture; running past its end is a decoding
// error (the error callback does not return).
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r == nullptr || count > r->length - r->position) {
        png_error(png, "read past the end of the picture");
    }
    std::memcpy(out, r->bytes + r->position, count);
    r->position += count;
}

// Walks the chunk headers: true when every chunk before IEND lies wholly
// inside the bytes. libpng trusts a chunk's declared length far enough to
// allocate it before reading it, so a few bytes claiming a 1.8 GB text chunk
// would cost 1.8 GB; a picture whose chunks run past its end is truncated or
// lying anyway, and is refused here without allocating anything.
bool ChunksFitInside(const unsigned char* bytes, std::size_t length) {
    std::size_t at = 8;  // after the signature
    while (at < length) {
        if (length - at < 8) {
            return false;  // a partial chunk header
        }
        const std::uint32_t size = (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
                                   (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
        const bool isEnd = std::memcmp(bytes + at + 4, "IEND", 4) == 0;
        if (isEnd) {
            return true;  // what follows IEND is never read
        }
        // Length, type, data and CRC.
        if (size > 0x7FFFFFFFu || static_cast<std::uint64_t>(size) + 12 > length - at) {
            return false;
        }
        at += static_cast<std::size_t>(size) + 12;
    }
    return true;  // no IEND: libpng decides whether the image data is complete
}

// Errors jump back to the function that set the jump (ReadImage or
// ReadSize); warnings are dropped (nothing prints).
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Checks the bytes and creates libpng's structures reading from them. False
// when the picture is refused outright; End releases whatever was made.
bool Begin(Decode* d, const unsigned char* bytes, std::size_t length) {
    if (bytes == nullptr || length < 8 || png_sig_cmp(const_cast<png_bytep>(bytes), 0, 8) != 0 ||
        !ChunksFitInside(bytes, length)) {
        return false;
    }
    d->reader = MemoryReader{bytes, length, 0};
    d->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (d->png == nullptr) {
        return false;
    }
    d->info = png_create_info_struct(d->png);
    return d->info != nullptr;
}

void End(Decode* d) {
    if (d->png != nullptr) {
        png_destroy_read_struct(&d->png, d->info != nullptr ? &d->info : nullptr, nullptr);
    }
    std::free(d->rows);
    d->rows = nullptr;
}

struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// Reads every chunk up to the image data and the header's fields, with the
// limits on size and on ancillary chunks. Called under the error jump of its
// caller; false when the size is refused.
bool ReadInfo(Decode* d, Header* h) {
    // Refuse absurd sizes before any pixel memory is asked for, and bound the
    // memory libpng may spend on ancillary chunks.
    png_set_user_limits(d->png, kPngMaxDimension, kPngMaxDimension);
    png_set_chunk_cache_max(d->png, 1000);
    png_set_chunk_malloc_max(d->png, 8u << 20);
    png_set_read_fn(d->png, &d->reader, ReadFromMemory);
    png_read_info(d->png, d->info);
    int interlace = 0;
    png_get_IHDR(d->png, d->info, &h->width, &h->height, &h->bitDepth, &h->colourType, &interlace, nullptr,
                 nullptr);
    return h->width != 0 && h->height != 0 && h->width <= kPngMaxDimension && h->height <= kPngMaxDimension &&
           static_cast<unsigned long long>(h->width) * h->height <= kPngMaxPixels;
}

// The header alone, under libpng's error handling.
bool ReadSize(Decode* d, Header* h) {
    if (setjmp(png_jmpbuf(d->png)) != 0) {
        return false;
    }
    return ReadInfo(d, h);
}

// The whole decode under libpng's error handling. Only plain values live here.
// Returns the bitmap holding the picture, or null.
LICE_IBitmap* ReadImage(Decode* d) {
    if (setjmp(png_jmpbuf(d->png)) != 0) {
        return nullptr;
    }
    Header header;
    if (!ReadInfo(d, &header)) {
        return nullptr;
    }
    const png_uint_32 width = header.width;
    const png_uint_32 height = header.height;
    const int bitDepth = header.bitDepth;
    const int colourType = header.colourType;

    // Every pixel becomes the bytes alpha, red, green, blue.
    bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(d->png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(d->png);
    }
    if (png_get_valid(d->png, d->info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(d->png);
        hasAlpha = true;
    }
    if (bitDepth == 16) {
        png_set_strip_16(d->png);
    }
    if (bitDepth < 8) {
        png_set_packing(d->png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(d->png);
    }
    if (!hasAlpha) {
        png_set_filler(d->png, 0xFF, PNG_FILLER_BEFORE);
    } else {
        png_set_swap_alpha(d->png);
    }
    png_set_interlace_handling(d->png);
    png_read_update_info(d->png, d->info);
    // The transformations must give exactly four bytes a pixel, or the rows
    // would not fit the bitmap.
    if (png_get_rowbytes(d->png, d->info) != static_cast<png_size_t>(width) * 4) {
        return nullptr;
    }

    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    LICE_IBitmap* target = d->dest;
    if (target != nullptr) {
        target->Resize(w, h);
    } else {
        d->created = new (std::nothrow) LICE_MemBitmap(w, h, 4);
        target = d->created;
    }
    if (target == nullptr || target->Width() != w || target->Height() != h || target->Pixels() == nullptr) {
        return nullptr;
    }
    d->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (d->rows == nullptr) {
        return nullptr;
    }
    LICE_pixel* first = target->Pixels();
    const std::ptrdiff_t span = target->RowSpan();
    for (int y = 0; y < h; ++y) {
        d->rows[y] = reinterpret_cast<png_bytep>(first + y * span);
    }
    png_read_image(d->png, d->rows);
    return target;
}

}  // namespace

bool ReadPngSize(const unsigned char* bytes, std::size_t length, int* width, int* height) {
    Decode d;
    Header header;
    const bool ok = Begin(&d, bytes, length) && ReadSize(&d, &header);
    End(&d);
    if (!ok) {
        return false;
    }
    if (width != nullptr) {
        *width = static_cast<int>(header.width);
    }
    if (height != nullptr) {
        *height = static_cast<int>(header.height);
    }
    return true;
}

LICE_IBitmap* DecodePng(const unsigned char* bytes, std::size_t length, LICE_IBitmap* dest) {
    Decode d;
    d.dest = dest;
    LICE_IBitmap* result = Begin(&d, bytes, length) ? ReadImage(&d) : nullptr;
    End(&d);
    if (result == nullptr) {
        delete d.created;
        return nullptr;
    }

    // Bytes alpha, red, green, blue in memory become the word 0xAARRGGBB.
    const int w = result->Width();
    const int h = result->Height();
    const std::ptrdiff_t span = result->RowSpan();
    for (int y = 0; y < h; ++y) {
        LICE_pixel* row = result->Pixels() + y * span;
        unsigned char* b = reinterpret_cast<unsigned char*>(row);
        for (int x = 0; x < w; ++x, b += 4) {
            row[x] = (static_cast<LICE_pixel>(b[0]) << 24) | (static_cast<LICE_pixel>(b[1]) << 16) |
                     (static_cast<LICE_pixel>(b[2]) << 8) | static_cast<LICE_pixel>(b[3]);
        }
    }
    return result;
}

LICE_IBitmap* LoadPngResource(LICE_ModuleHandle instance, int id, LICE_IBitmap* dest) {
    const ResourceBytes resource = FindModuleResource(instance, "PNG", id);
    if (resource.data == nullptr || resource.size < 8) {
        return nullptr;
    }
    return DecodePng(resource.data, resource.size, dest);
}

}  // namespace LICE
