// Pictures that know their size from the header and decode on first use:
// the size before any decoding, the same pixels as an eager decode, damaged
// image data, concurrent first use, and giving the picture up by resizing.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Png.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/LICE_Scaled.h"
#include "graphics/LICE_Shapes.h"
#include "tests/graphics/GuardedBitmap.h"
#include "tests/graphics/PngSamples.h"

using namespace png_samples;

namespace {

// Every pixel of a bitmap, row by row, without the row padding; empty when it
// has no pixels.
std::vector<LICE_pixel> PixelsOf(const LICE_IBitmap& b) {
    std::vector<LICE_pixel> px;
    const LICE_pixel* first = b.Pixels();
    if (first == nullptr) {
        return px;
    }
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            px.push_back(first[static_cast<std::ptrdiff_t>(y) * b.RowSpan() + x]);
        }
    }
    return px;
}

std::vector<LICE_pixel> EagerPixels(const Bytes& png) {
    std::unique_ptr<LICE_IBitmap> b(LICE::DecodePng(png.data(), png.size(), nullptr));
    return b ? PixelsOf(*b) : std::vector<LICE_pixel>();
}

// An RGBA picture of w × h with a pattern that differs from pixel to pixel.
Bytes Patterned(int w, int h) {
    PngImage s;
    s.width = w;
    s.height = h;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int y = 0; y < h; ++y) {
        Bytes row;
        for (int x = 0; x < w; ++x) {
            row.insert(row.end(), {static_cast<unsigned char>(x * 7 + y), static_cast<unsigned char>(y * 3),
                                   static_cast<unsigned char>(x ^ y), static_cast<unsigned char>(255 - (x & 127))});
        }
        s.rows.push_back(row);
    }
    return Encode(s);
}

// The picture with the data of its first image chunk replaced by bytes that
// are no compressed stream at all. The chunk's checksum is made to match, so
// the header and every chunk length read as sound and only decoding the image
// can tell.
Bytes WithGarbledImageData(const Bytes& real) {
    Bytes out(real.begin(), real.begin() + 8);
    std::size_t at = 8;
    while (at + 12 <= real.size()) {
        const std::uint32_t n = (std::uint32_t{real[at]} << 24) | (std::uint32_t{real[at + 1]} << 16) |
                                (std::uint32_t{real[at + 2]} << 8) | std::uint32_t{real[at + 3]};
        if (n > real.size() - at - 12) break;
        const char type[5] = {static_cast<char>(real[at + 4]), static_cast<char>(real[at + 5]),
                              static_cast<char>(real[at + 6]), static_cast<char>(real[at + 7]), '\0'};
        Bytes data(real.begin() + static_cast<std::ptrdiff_t>(at + 8),
                   real.begin() + static_cast<std::ptrdiff_t>(at + 8 + n));
        if (std::string(type) == "IDAT") {
            data.assign(data.size(), 0xFF);
        }
        PutChunk(out, type, data);
        at += n + 12;
    }
    return out;
}

struct Damaged {
    const char* what;
    Bytes png;
    int width, height;  // what the header says
};

std::vector<Damaged> DamagedPictures() {
    const Bytes sound = Textured();  // 16 × 16
    return {
        {"image data that is no compressed stream", WithGarbledImageData(sound), 16, 16},
        {"a header claiming more rows than the data holds", WithClaimedSize(sound, 16, 300), 16, 300},
    };
}

}  // namespace

TEST(LicePngBitmap, KnowsItsSizeBeforeDecodingAndDecodesAsDecodePngDoes) {
    PngImage palette;  // 5 wide: rows padded to 8
    palette.width = 5;
    palette.height = 2;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    palette.paletteAlpha = {0, 128};
    palette.rows = {{0, 1, 2, 1, 0}, {2, 2, 1, 0, 0}};
    PngImage grey16;
    grey16.width = 3;
    grey16.bitDepth = 16;
    grey16.colourType = PNG_COLOR_TYPE_GRAY;
    grey16.rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}};
    PngImage interlaced;
    interlaced.width = 7;
    interlaced.height = 5;
    interlaced.interlaced = true;
    for (int y = 0; y < 5; ++y) {
        Bytes row;
        for (int x = 0; x < 7 * 3; ++x) row.push_back(static_cast<unsigned char>(x * 11 + y * 29));
        interlaced.rows.push_back(row);
    }
    const struct {
        const char* what;
        Bytes png;
        int width, height, rowSpan;
    } cases[] = {
        {"palette with transparency", Encode(palette), 5, 2, 8},
        {"16-bit grey", Encode(grey16), 3, 1, 4},
        {"interlaced RGB", Encode(interlaced), 7, 5, 8},
        {"RGBA", Textured(), 16, 16, 16},
    };
    for (const auto& c : cases) {
        std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromBytes(c.png.data(), c.png.size());
        ASSERT_NE(b, nullptr) << c.what;
        EXPECT_EQ(b->Width(), c.width) << c.what;
        EXPECT_EQ(b->Height(), c.height) << c.what;
        EXPECT_EQ(b->RowSpan(), c.rowSpan) << c.what;
        EXPECT_FALSE(b->IsDecoded()) << c.what;
        int w = 0, h = 0;
        EXPECT_TRUE(LICE::ReadPngSize(c.png.data(), c.png.size(), &w, &h)) << c.what;
        EXPECT_EQ(w, c.width) << c.what;
        EXPECT_EQ(h, c.height) << c.what;

        const LICE_pixel* first = b->Pixels();
        ASSERT_NE(first, nullptr) << c.what;
        EXPECT_TRUE(b->IsDecoded()) << c.what;
        EXPECT_EQ(b->Pixels(), first) << c.what;  // decoded once, then kept
        EXPECT_EQ(b->RowSpan(), c.rowSpan) << c.what;
        EXPECT_EQ(PixelsOf(*b), EagerPixels(c.png)) << c.what;
    }
}

TEST(LicePngBitmap, TheEditorsPicturesMatchAnEagerDecodeExactly) {
    int found = 0;
    for (int id = 101; id <= 107; ++id) {
        if (LICE::FindModuleResource(nullptr, "PNG", id).data == nullptr) continue;
        ++found;
        std::unique_ptr<LICE_PngBitmap> lazy = LICE_PngBitmap::FromResource(nullptr, id);
        std::unique_ptr<LICE_IBitmap> eager(LICE::LoadPngResource(nullptr, id, nullptr));
        ASSERT_NE(lazy, nullptr) << id;
        ASSERT_NE(eager, nullptr) << id;
        EXPECT_EQ(lazy->Width(), eager->Width()) << id;
        EXPECT_EQ(lazy->Height(), eager->Height()) << id;
        EXPECT_EQ(lazy->RowSpan(), eager->RowSpan()) << id;
        EXPECT_FALSE(lazy->IsDecoded()) << id;
        EXPECT_TRUE(PixelsOf(*lazy) == PixelsOf(*eager)) << id;
    }
    EXPECT_EQ(LICE_PngBitmap::FromResource(nullptr, 9999), nullptr);
    if (found == 0) GTEST_SKIP() << "no editor pictures in this build";
}

TEST(LicePngBitmap, RefusesAPictureWhoseHeaderCannotBeRead) {
    const Bytes png = Textured();
    const unsigned char notPng[] = "GIF89a..........................";
    EXPECT_EQ(LICE_PngBitmap::FromBytes(nullptr, 100), nullptr);
    EXPECT_EQ(LICE_PngBitmap::FromBytes(notPng, sizeof notPng), nullptr);
    for (const auto& lie : {std::make_pair(0u, 16u), {100000u, 100000u}, {0x7FFFFFFFu, 1u}}) {
        const Bytes bad = WithClaimedSize(png, lie.first, lie.second);
        EXPECT_EQ(LICE_PngBitmap::FromBytes(bad.data(), bad.size()), nullptr) << lie.first << " x " << lie.second;
        EXPECT_FALSE(LICE::ReadPngSize(bad.data(), bad.size(), nullptr, nullptr));
    }
    const Bytes lying = WithLyingChunk(png, "zTXt", 0x70485973u, 40);
    EXPECT_EQ(LICE_PngBitmap::FromBytes(lying.data(), lying.size()), nullptr);
    // Every truncation short of the final chunk is refused at the header or,
    // at the latest, when decoding: never half a picture.
    for (std::size_t n = 0; n + 12 < png.size(); ++n) {
        std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromBytes(png.data(), n);
        if (b == nullptr) continue;
        EXPECT_EQ(b->Width(), 16) << "length " << n;
        EXPECT_EQ(b->Pixels(), nullptr) << "length " << n;
    }
}

TEST(LicePngBitmap, DamagedImageDataKeepsTheSizeAndDrawsNothing) {
    for (const Damaged& d : DamagedPictures()) {
        ASSERT_EQ(LICE::DecodePng(d.png.data(), d.png.size(), nullptr), nullptr) << d.what;
        std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromBytes(d.png.data(), d.png.size());
        ASSERT_NE(b, nullptr) << d.what;
        EXPECT_EQ(b->Width(), d.width) << d.what;
        EXPECT_EQ(b->Height(), d.height) << d.what;
        EXPECT_EQ(b->Pixels(), nullptr) << d.what;
        EXPECT_TRUE(b->IsDecoded()) << d.what;
        EXPECT_EQ(b->Pixels(), nullptr) << d.what;
        EXPECT_EQ(b->Width(), d.width) << d.what;

        // Every operation that reads a source leaves the destination as it was.
        GuardedBitmap dest(20, 20, 0xFF102030u);
        LICE::Blit(&dest, b.get(), 0, 0, 0, 0, d.width, d.height, 1.0f, LICE::ModeCopy);
        LICE::Blit(&dest, b.get(), 2, 3, 0, 0, d.width, d.height, 0.5f, LICE::ModeCopy | LICE::ModeUseSourceAlpha);
        LICE::ScaledBlit(&dest, b.get(), 0, 0, 20, 20, 0.5f, 0.5f, 8.0f, 8.0f, 1.0f,
                         LICE::ModeCopy | LICE::ModeFilter);
        LICE::RotatedBlit(&dest, b.get(), 0, 0, 20, 20, 0.0f, 0.0f, 16.0f, 16.0f, 0.3f, false, 1.0f,
                          LICE::ModeCopy, 0.0f, 0.0f);
        EXPECT_EQ(LICE::GetPixel(b.get(), 1, 1), 0u) << d.what;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) ASSERT_EQ(dest.At(x, y), 0xFF102030u) << d.what << " at " << x << "," << y;
        EXPECT_TRUE(dest.MarginIntact()) << d.what;
        // A copy of it is a copy of nothing, not a picture of undefined pixels.
        LICE_MemBitmap copy(4, 4, 4);
        LICE::CopyBitmap(&copy, b.get());
        EXPECT_EQ(copy.Width(), 0) << d.what;
        EXPECT_EQ(copy.Height(), 0) << d.what;
    }
}

TEST(LicePngBitmap, ThreadsAskingAtOnceShareOneDecode) {
    // Large enough that the decode takes a while and the threads overlap.
    const Bytes sound = Patterned(256, 1024);
    const Bytes damaged = WithGarbledImageData(sound);
    const std::vector<LICE_pixel> expected = EagerPixels(sound);
    ASSERT_FALSE(expected.empty());
    for (const Bytes* png : {&sound, &damaged}) {
        std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromBytes(png->data(), png->size());
        ASSERT_NE(b, nullptr);
        constexpr int kThreads = 8;
        std::atomic<int> waiting{kThreads};
        std::vector<const LICE_pixel*> seen(kThreads, nullptr);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                waiting.fetch_sub(1);
                while (waiting.load() > 0) std::this_thread::yield();
                seen[static_cast<std::size_t>(t)] = b->Pixels();
            });
        }
        for (std::thread& t : threads) t.join();
        for (const LICE_pixel* p : seen) EXPECT_EQ(p, seen[0]);
        if (png == &sound) {
            ASSERT_NE(seen[0], nullptr);
            EXPECT_TRUE(PixelsOf(*b) == expected);
        } else {
            EXPECT_EQ(seen[0], nullptr);
        }
    }
}

TEST(LicePngBitmap, ResizingGivesUpThePictureWithoutDecodingIt) {
    const Bytes png = Textured();
    std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromBytes(png.data(), png.size());
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->Resize(16, 16));
    ASSERT_TRUE(b->Resize(5, 3));
    EXPECT_FALSE(b->IsDecoded());
    EXPECT_EQ(b->Width(), 5);
    EXPECT_EQ(b->Height(), 3);
    EXPECT_EQ(b->RowSpan(), 8);
    ASSERT_NE(b->Pixels(), nullptr);
    EXPECT_FALSE(b->IsDecoded());
    // As the target of a decode it takes another picture's size and pixels.
    const Bytes other = Patterned(9, 4);
    EXPECT_EQ(LICE::DecodePng(other.data(), other.size(), b.get()), b.get());
    EXPECT_EQ(b->Width(), 9);
    EXPECT_EQ(b->RowSpan(), 12);
    EXPECT_TRUE(PixelsOf(*b) == EagerPixels(other));
}
