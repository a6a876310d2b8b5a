#include <png.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Png.h"
#include "graphics/LICE_SysBitmap.h"
#include "tests/graphics/GuardedBitmap.h"
#include "tests/graphics/PngSamples.h"

using namespace LICE;
using namespace png_samples;

namespace {

std::vector<LICE_pixel> Decoded(const Bytes& png) {
    std::unique_ptr<LICE_IBitmap> b(DecodePng(png.data(), png.size(), nullptr));
    std::vector<LICE_pixel> px;
    if (b == nullptr) {
        return px;
    }
    for (int y = 0; y < b->Height(); ++y) {
        for (int x = 0; x < b->Width(); ++x) {
            px.push_back(b->Pixels()[y * b->RowSpan() + x]);
        }
    }
    return px;
}

PngImage Grey(int depth, Bytes row, int width) {
    PngImage s;
    s.width = width;
    s.bitDepth = depth;
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.rows = {std::move(row)};
    return s;
}

}  // namespace

TEST(DecodePng, EveryColourTypeAndDepthBecomesArgbWords) {
    PngImage palette;
    palette.width = 3;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    palette.paletteAlpha = {128};  // only the first entry is translucent
    palette.rows = {{0, 1, 2}};

    PngImage palette4 = palette;
    palette4.bitDepth = 4;
    palette4.paletteAlpha.clear();
    palette4.rows = {{0x21, 0x00}};  // indices 2, 1, 0

    PngImage palette1 = palette;
    palette1.bitDepth = 1;
    palette1.palette.resize(2);
    palette1.paletteAlpha.clear();
    palette1.rows = {{0x40}};  // 0, 1, 0

    PngImage greyTrns = Grey(8, {77, 78}, 2);
    greyTrns.transparent.gray = 77;
    greyTrns.hasTransparent = true;

    PngImage greyAlpha;
    greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {{100, 200}};

    PngImage rgb;
    rgb.width = 2;
    rgb.rows = {{1, 2, 3, 4, 5, 6}};

    PngImage rgbTrns = rgb;
    rgbTrns.transparent.red = 1;
    rgbTrns.transparent.green = 2;
    rgbTrns.transparent.blue = 3;
    rgbTrns.hasTransparent = true;

    PngImage rgba;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.rows = {{1, 2, 3, 4}};

    PngImage rgba16 = rgba;
    rgba16.bitDepth = 16;
    rgba16.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}};

    const struct {
        const char* what;
        PngImage image;
        std::vector<LICE_pixel> expected;
    } cases[] = {
        {"8-bit palette with tRNS", palette, {0x800A141E, 0xFF28323C, 0xFF46505A}},
        {"4-bit palette", palette4, {0xFF46505A, 0xFF28323C, 0xFF0A141E}},
        {"1-bit palette", palette1, {0xFF0A141E, 0xFF28323C, 0xFF0A141E}},
        {"8-bit grey", Grey(8, {77}, 1), {0xFF4D4D4D}},
        {"1-bit grey", Grey(1, {0x40}, 2), {0xFF000000, 0xFFFFFFFF}},
        {"2-bit grey", Grey(2, {0x1B}, 4), {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
        {"4-bit grey", Grey(4, {0x3C}, 2), {0xFF333333, 0xFFCCCCCC}},
        {"16-bit grey keeps the high byte", Grey(16, {0xAB, 0xCD}, 1), {0xFFABABAB}},
        {"grey with tRNS", greyTrns, {0x004D4D4D, 0xFF4E4E4E}},
        {"grey with alpha", greyAlpha, {0xC8646464}},
        {"RGB", rgb, {0xFF010203, 0xFF040506}},
        {"RGB with tRNS", rgbTrns, {0x00010203, 0xFF040506}},
        {"RGBA", rgba, {0x04010203}},
        {"16-bit RGBA", rgba16, {0xDE12569A}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decoded(Encode(c.image)), c.expected) << c.what;
    }
}

TEST(DecodePng, InterlacedPicturesDecodeLikePlainOnes) {
    PngImage s;
    s.width = 9;
    s.height = 7;
    for (int y = 0; y < s.height; ++y) {
        Bytes row;
        for (int x = 0; x < s.width; ++x) {
            row.insert(row.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 7});
        }
        s.rows.push_back(row);
    }
    const std::vector<LICE_pixel> plain = Decoded(Encode(s));
    s.interlaced = true;
    EXPECT_EQ(Decoded(Encode(s)), plain);
    ASSERT_EQ(plain.size(), 63u);
    EXPECT_EQ(plain[2 * 9 + 5], 0xFF050207u);
}

TEST(DecodePng, FillsTheGivenBitmapRowByRow) {
    const Bytes png = Textured();
    LICE_SysBitmap sys(40, 40);  // row span 40, wider than the picture
    ASSERT_EQ(DecodePng(png.data(), png.size(), &sys), &sys);
    EXPECT_EQ(sys.Width(), 16);
    EXPECT_EQ(sys.RowSpan(), 40);
    const std::vector<LICE_pixel> fresh = Decoded(png);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(sys.Pixels()[y * 40 + x], fresh[static_cast<std::size_t>(y * 16 + x)]);
        }
    }
    // A bitmap that cannot take the picture's size gets nothing.
    GuardedBitmap fixed(3, 3, 0);
    EXPECT_EQ(DecodePng(png.data(), png.size(), &fixed), nullptr);
    EXPECT_TRUE(fixed.MarginIntact());
}

TEST(DecodePng, RefusesDamagedAndImplausiblePictures) {
    const Bytes png = Textured();
    ASSERT_FALSE(Decoded(png).empty());
    // Every truncation short of the final IEND chunk fails cleanly.
    for (std::size_t n = 0; n + 12 < png.size(); ++n) {
        EXPECT_EQ(DecodePng(png.data(), n, nullptr), nullptr) << "length " << n;
    }
    // Every single-bit flip either fails or gives a picture of a sane size.
    for (std::size_t i = 0; i < png.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes damaged = png;
            damaged[i] = static_cast<unsigned char>(damaged[i] ^ (1 << bit));
            std::unique_ptr<LICE_IBitmap> b(DecodePng(damaged.data(), damaged.size(), nullptr));
            if (b != nullptr) {
                EXPECT_EQ(b->Width(), 16);
                EXPECT_EQ(b->Height(), 16);
            }
        }
    }
    const struct {
        const char* what;
        std::uint32_t w, h;
    } lies[] = {
        {"more rows than the data holds", 16, 4000},
        {"over the pixel-count limit", 100000, 100000},
        {"over the dimension limit", 0x7FFFFFFF, 1},
        {"zero width", 0, 16},
    };
    for (const auto& lie : lies) {
        const Bytes bad = WithClaimedSize(png, lie.w, lie.h);
        EXPECT_EQ(DecodePng(bad.data(), bad.size(), nullptr), nullptr) << lie.what;
    }
    // Chunks that claim more bytes than the picture has (1.8 GB of text in a
    // 300-byte file) are refused before anything is allocated for them.
    for (const char* type : {"iTXt", "zTXt", "tEXt", "iCCP", "IDAT", "abCd"}) {
        const Bytes bad = WithLyingChunk(png, type, 0x70485973u, 40);
        EXPECT_EQ(DecodePng(bad.data(), bad.size(), nullptr), nullptr) << type;
    }
    const Bytes same = WithClaimedSize(png, 16, 16);
    EXPECT_EQ(Decoded(same), Decoded(png));  // the rebuilt header itself is sound
    const unsigned char notPng[] = "GIF89a..........";
    EXPECT_EQ(DecodePng(notPng, sizeof notPng, nullptr), nullptr);
    EXPECT_EQ(DecodePng(nullptr, 100, nullptr), nullptr);
}

TEST(LoadPngResource, FindsTheEditorPicturesByOrdinal) {
    EXPECT_EQ(LoadPngResource(nullptr, 9999, nullptr), nullptr);
    EXPECT_EQ(FindModuleResource(nullptr, "BMP", 101).data, nullptr);
    // Each picture the build found decodes to its layout size.
    const struct {
        int id, w, h;
    } pictures[] = {{101, 298, 400}, {102, 148, 18944}, {103, 148, 18944}, {104, 32, 64},
                    {105, 16, 45},   {106, 245, 140},   {107, 298, 400}};
    for (const auto& p : pictures) {
        if (FindModuleResource(nullptr, "PNG", p.id).data == nullptr) {
            continue;
        }
        std::unique_ptr<LICE_IBitmap> b(LoadPngResource(nullptr, p.id, nullptr));
        ASSERT_NE(b, nullptr) << p.id;
        EXPECT_EQ(b->Width(), p.w) << p.id;
        EXPECT_EQ(b->Height(), p.h) << p.id;
    }
}
