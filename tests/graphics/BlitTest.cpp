#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "tests/graphics/GuardedBitmap.h"

using namespace LICE;

namespace {

// One source pixel over one destination pixel.
LICE_pixel BlitOne(LICE_pixel src, LICE_pixel dst, float weight, int mode) {
    LICE_MemBitmap s(1, 1, 4), d(1, 1, 4);
    s.Pixels()[0] = src;
    d.Pixels()[0] = dst;
    Blit(&d, &s, 0, 0, 0, 0, 1, 1, weight, mode);
    return d.Pixels()[0];
}

LICE_pixel FillOne(LICE_pixel colour, LICE_pixel dst, float weight, int mode) {
    LICE_MemBitmap d(1, 1, 4);
    d.Pixels()[0] = dst;
    FillRectangle(&d, 0, 0, 1, 1, colour, weight, mode);
    return d.Pixels()[0];
}

}  // namespace

TEST(Blit, CombinesOnePixelByModeAndWeight) {
    const struct {
        const char* what;
        LICE_pixel src, dst;
        float weight;
        int mode;
        LICE_pixel expected;
    } cases[] = {
        {"copy at full weight copies all four bytes", 0x12345678, 0xFFFFFFFF, 1.0f, ModeCopy, 0x12345678},
        {"copy at half weight averages with masks", 0xFFFFFFFF, 0xFFFFFFFF, 0.5f, ModeCopy, 0xFEFEFEFE},
        {"copy at a quarter truncates toward zero", 0x40C80010, 0x80659020, 0.25f, ModeCopy, 0x707E6C1C},
        {"source alpha 128: 200 over 100 gives 151, opaque stays opaque", 0x80C8C8C8, 0xFF646464, 1.0f,
         ModeCopy | ModeUseSourceAlpha, 0xFF979797},
        {"source alpha 0 leaves the pixel", 0x00FFFFFF, 0x80102030, 1.0f, ModeCopy | ModeUseSourceAlpha, 0x80102030},
        {"source alpha 255 copies and makes opaque", 0xFF112233, 0x00445566, 1.0f, ModeCopy | ModeUseSourceAlpha,
         0xFF112233},
        {"source alpha at half weight: k = 128 × 256 / 256", 0xFFC80000, 0x00640000, 0.5f,
         ModeCopy | ModeUseSourceAlpha, 0x80960000},
        {"add at full weight", 0x10203040, 0x10101010, 1.0f, ModeAdd, 0x20304050},
        {"add clamps at 255", 0x10203040, 0xF0F0F0F0, 1.0f, ModeAdd, 0xFFFFFFFF},
        {"add at half weight", 0x10203040, 0x10101010, 0.5f, ModeAdd, 0x18202830},
        {"add with source alpha", 0x7F406080, 0x10101010, 1.0f, ModeAdd | ModeUseSourceAlpha, 0x4F304050},
        {"dodge with source alpha doubles at mid grey and saturates", 0xFF808080, 0x40404040, 1.0f,
         ModeDodge | ModeUseSourceAlpha, 0xFF808080},
        {"channel copy of red into blue", 0x00AB0000, 0x11223344, 1.0f, ModeChannelCopy(2, 0), 0x112233AB},
        {"multiply by mid grey", 0xFF808080, 0xFFFFFFFF, 1.0f, ModeMultiply, 0xFF808080},
        {"screen with black keeps the destination", 0x00000000, 0x80406080, 1.0f, ModeScreen, 0x80406080},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlitOne(c.src, c.dst, c.weight, c.mode), c.expected) << c.what;
    }
}

TEST(Blit, ZeroNanAndNegativeWeightsChangeNothing) {
    for (float w : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(BlitOne(0xFFFFFFFF, 0x01020304, w, ModeCopy), 0x01020304u);
        EXPECT_EQ(FillOne(0xFFFFFFFF, 0x01020304, w, ModeCopy), 0x01020304u);
    }
}

TEST(FillRectangle, TakesTheWordWideShortcutsAtQuarterSteps) {
    const struct {
        const char* what;
        LICE_pixel colour, dst;
        float weight;
        int mode;
        LICE_pixel expected;
    } cases[] = {
        {"0x80FF0000 with source alpha is the 50% path", 0x80FF0000, 0xFF0000FF, 1.0f,
         ModeCopy | ModeUseSourceAlpha, 0xBF7F007F},
        {"an opaque colour with source alpha is an exact fill", 0xFF123456, 0x00ABCDEF, 1.0f,
         ModeCopy | ModeUseSourceAlpha, 0xFF123456},
        {"full weight writes the word, alpha included", 0x00123456, 0xFFFFFFFF, 1.0f, ModeCopy, 0x00123456},
        {"25%", 0xFFFFFFFF, 0x00000000, 0.25f, ModeCopy, 0x3F3F3F3F},
        {"75%", 0xFFFFFFFF, 0x00000000, 0.75f, ModeCopy, 0xBEBEBEBE},
        {"other weights move the alpha toward a", 0x00C80000, 0xFF000000, 0.1f, ModeCopy, 0xE8140000},
        {"add", 0x10203040, 0x10101010, 1.0f, ModeAdd, 0x20304050},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FillOne(c.colour, c.dst, c.weight, c.mode), c.expected) << c.what;
    }
}

TEST(Blit, NegativeStartsShiftTheOtherRectangle) {
    LICE_MemBitmap src(20, 1, 4), dst(20, 1, 4);
    for (int i = 0; i < 20; ++i) {
        src.Pixels()[i] = static_cast<LICE_pixel>(i);
    }
    Clear(&dst, 0xEEEEEEEE);
    Blit(&dst, &src, -10, 0, 0, 0, 20, 1, 1.0f, ModeCopy);
    EXPECT_EQ(dst.Pixels()[0], 10u);
    EXPECT_EQ(dst.Pixels()[9], 19u);
    EXPECT_EQ(dst.Pixels()[10], 0xEEEEEEEEu);

    Clear(&dst, 0xEEEEEEEE);
    Blit(&dst, &src, 2, 0, -3, 0, 6, 1, 1.0f, ModeCopy);  // source starts at 0, destination at 5
    EXPECT_EQ(dst.Pixels()[4], 0xEEEEEEEEu);
    EXPECT_EQ(dst.Pixels()[5], 0u);
    EXPECT_EQ(dst.Pixels()[7], 2u);
    EXPECT_EQ(dst.Pixels()[8], 0xEEEEEEEEu);
}

TEST(Blit, OverlappingRectanglesOfOneBitmapReadTheOldPixels) {
    LICE_MemBitmap b(10, 3, 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 10; ++x) {
            b.Pixels()[y * b.RowSpan() + x] = static_cast<LICE_pixel>(y * 100 + x);
        }
    }
    for (float w : {1.0f, 0.75f}) {
        LICE_MemBitmap c(10, 3, 4);
        CopyBitmap(&c, &b);
        Blit(&c, &c, 1, 1, 0, 0, 9, 2, w, ModeCopy);
        LICE_MemBitmap expected(10, 3, 4);
        CopyBitmap(&expected, &b);
        LICE_MemBitmap part(9, 2, 4);
        Blit(&part, &b, 0, 0, 0, 0, 9, 2, 1.0f, ModeCopy);
        Blit(&expected, &part, 1, 1, 0, 0, 9, 2, w, ModeCopy);
        for (int i = 0; i < 3 * c.RowSpan(); ++i) {
            ASSERT_EQ(c.Pixels()[i], expected.Pixels()[i]) << "weight " << w << " pixel " << i;
        }
    }
}

TEST(Blit, NoArgumentsReadOrWriteOutsideEitherBitmap) {
    const int big = std::numeric_limits<int>::max();
    const int small = std::numeric_limits<int>::min();
    const int values[] = {small, -1000, -7, -1, 0, 1, 5, 11, 12, 13, 1000, big};
    const int modes[] = {ModeCopy, ModeAdd | ModeUseSourceAlpha, ModeDodge, ModeChannelCopy(3, 1)};
    GuardedBitmap src(12, 9, 0xFF808080);
    GuardedBitmap dst(11, 13, 0x00000000);
    int n = 0;
    for (int a : values) {
        for (int b : values) {
            for (int mode : modes) {
                Blit(&dst, &src, a, b, b, a, a, b, 1.0f, mode);
                Blit(&dst, &src, b, a, a, b, big, big, 0.5f, mode);
                FillRectangle(&dst, a, b, b, a, 0xFFFFFFFF, 0.3f, mode);
                FillRectangle(&dst, a, b, big, big, 0xFFFFFFFF, 1.0f, mode);
                ++n;
            }
        }
    }
    EXPECT_TRUE(dst.MarginIntact());
    EXPECT_TRUE(src.MarginIntact());
    // Copies from the source never brought in its margin.
    GuardedBitmap copy(11, 13, 0);
    for (int a : values) {
        for (int b : values) {
            Blit(&copy, &src, a, b, b, a, big, big, 1.0f, ModeCopy);
            Blit(&copy, &src, -(a / 2), -(b / 2), a / 2, b / 2, 40, 40, 1.0f, ModeCopy);
        }
    }
    EXPECT_TRUE(copy.NoSentinelInside());
    EXPECT_TRUE(copy.MarginIntact());
    EXPECT_GT(n, 0);
}

TEST(CopyBitmap, ResizesAndCopiesEveryPixel) {
    LICE_MemBitmap src(5, 3, 4), dst(1, 1, 1);
    for (int i = 0; i < 3 * src.RowSpan(); ++i) {
        src.Pixels()[i] = 0xA0000000u + static_cast<LICE_pixel>(i);
    }
    CopyBitmap(&dst, &src);
    ASSERT_EQ(dst.Width(), 5);
    ASSERT_EQ(dst.Height(), 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(dst.Pixels()[y * dst.RowSpan() + x], src.Pixels()[y * src.RowSpan() + x]);
        }
    }
}
