#pragma once

// PNG files made with libpng's encoder for the decoder's tests, and ways of
// damaging them: a header rewritten to claim another size, a chunk that
// claims more bytes than it carries.

#include <png.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace png_samples {

using Bytes = std::vector<unsigned char>;

struct PngImage {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    std::vector<Bytes> rows;              // packed as the file stores them
    std::vector<png_color> palette;
    Bytes paletteAlpha;                   // tRNS for palette images
    png_color_16 transparent{};           // tRNS for grey and RGB images
    bool hasTransparent = false;
    bool interlaced = false;
};

inline void Append(png_structp png, png_bytep data, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
inline void Flush(png_structp) {}

// Writes a PNG with libpng's encoder.
inline Bytes Encode(const PngImage& s) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
                 s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty()) {
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    }
    if (!s.paletteAlpha.empty()) {
        png_set_tRNS(png, info, s.paletteAlpha.data(), static_cast<int>(s.paletteAlpha.size()), nullptr);
    }
    if (s.hasTransparent) {
        png_set_tRNS(png, info, nullptr, 0, &s.transparent);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const Bytes& r : s.rows) {
        rows.push_back(const_cast<png_bytep>(r.data()));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A 16 × 16 RGBA picture with some texture, for the damage tests.
inline Bytes Textured() {
    PngImage s;
    s.width = s.height = 16;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int y = 0; y < 16; ++y) {
        Bytes row;
        for (int x = 0; x < 16; ++x) {
            row.insert(row.end(), {static_cast<unsigned char>(x * 16), static_cast<unsigned char>(y * 16),
                                   static_cast<unsigned char>(x ^ y), static_cast<unsigned char>(255 - x - y)});
        }
        s.rows.push_back(row);
    }
    return Encode(s);
}

inline std::uint32_t Crc(const unsigned char* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) {
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
    }
    return ~c;
}

inline void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    const std::uint32_t n = static_cast<std::uint32_t>(data.size());
    out.insert(out.end(), {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                           static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)});
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const std::uint32_t c = Crc(&out[start], out.size() - start);
    out.insert(out.end(), {static_cast<unsigned char>(c >> 24), static_cast<unsigned char>(c >> 16),
                           static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c)});
}

// A PNG whose header claims w × h but whose data is that of `real`.
inline Bytes WithClaimedSize(const Bytes& real, std::uint32_t w, std::uint32_t h) {
    Bytes out(real.begin(), real.begin() + 8);
    Bytes ihdr(real.begin() + 16, real.begin() + 29);
    for (int i = 0; i < 4; ++i) {
        ihdr[static_cast<std::size_t>(i)] = static_cast<unsigned char>(w >> (24 - 8 * i));
        ihdr[static_cast<std::size_t>(4 + i)] = static_cast<unsigned char>(h >> (24 - 8 * i));
    }
    PutChunk(out, "IHDR", ihdr);
    out.insert(out.end(), real.begin() + 33, real.end());  // the rest as it was
    return out;
}

// The picture with a chunk inserted after its header that claims `claimed`
// bytes of data but carries only `carried`.
inline Bytes WithLyingChunk(const Bytes& real, const char* type, std::uint32_t claimed, std::size_t carried) {
    Bytes out(real.begin(), real.begin() + 33);
    out.insert(out.end(), {static_cast<unsigned char>(claimed >> 24), static_cast<unsigned char>(claimed >> 16),
                           static_cast<unsigned char>(claimed >> 8), static_cast<unsigned char>(claimed)});
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), carried, 'x');
    out.insert(out.end(), real.begin() + 33, real.end());
    return out;
}

}  // namespace png_samples
