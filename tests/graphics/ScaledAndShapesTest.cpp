#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Scaled.h"
#include "graphics/LICE_Shapes.h"
#include "tests/graphics/GuardedBitmap.h"

using namespace LICE;

namespace {

// Pixel (x, y) becomes 0xFF000000 | y << 8 | x.
void FillRamp(LICE_MemBitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            b.Pixels()[y * b.RowSpan() + x] = 0xFF000000u | static_cast<LICE_pixel>(y << 8 | x);
        }
    }
}

int Count(const LICE_IBitmap& b, LICE_pixel p) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            n += GetPixel(&b, x, y) == p ? 1 : 0;
        }
    }
    return n;
}

}  // namespace

TEST(ScaledBlit, SameSizeFallsBackToAPlainBlitAtTheRoundedPosition) {
    LICE_MemBitmap src(8, 8, 4);
    FillRamp(src);
    const struct {
        float srcX;
        int mode;
        LICE_pixel expected;  // destination (0, 0)
    } cases[] = {
        {2.4f, ModeCopy, 0xFF000002},           // unfiltered: (int)(2.9) = 2
        {2.6f, ModeCopy, 0xFF000003},           // (int)(3.1) = 3
        {2.02f, ModeCopy | ModeFilter, 0xFF000002},  // filtered within 0.03 of a whole pixel
    };
    for (const auto& c : cases) {
        LICE_MemBitmap dst(4, 4, 4);
        Clear(&dst, 0);
        ScaledBlit(&dst, &src, 0, 0, 4, 4, c.srcX, 0.0f, 4.0005f, 4.0f, 1.0f, c.mode);
        EXPECT_EQ(GetPixel(&dst, 0, 0), c.expected) << c.srcX;
    }
    // Filtered half a pixel off: a blend of the two neighbours.
    LICE_MemBitmap dst(4, 4, 4);
    ScaledBlit(&dst, &src, 0, 0, 4, 4, 2.5f, 0.0f, 4.0f, 4.0f, 1.0f, ModeCopy | ModeFilter);
    // Destination centre 0.5 maps to 3.0, half-way between source centres 2.5 and
    // 3.5: (2 + 3) / 2 truncated.
    EXPECT_EQ(GetPixel(&dst, 0, 0) & 0xFF, 2u);
    EXPECT_EQ(GetPixel(&dst, 1, 0) & 0xFF, 3u);
}

TEST(ScaledBlit, DoublingRepeatsEachPixelAndFilteringKeepsFlatAreasFlat) {
    LICE_MemBitmap src(4, 4, 4);
    FillRamp(src);
    LICE_MemBitmap dst(8, 8, 4);
    ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 4, 4, 1.0f, ModeCopy);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(GetPixel(&dst, x, 5), GetPixel(&src, x / 2, 2));
    }
    LICE_MemBitmap flat(6, 6, 4);
    Clear(&flat, 0xFF336699);
    LICE_MemBitmap out(13, 3, 4);
    ScaledBlit(&out, &flat, 0, 0, 13, 3, 0, 0, 6, 6, 1.0f, ModeCopy | ModeFilter);
    EXPECT_EQ(Count(out, 0xFF336699), 13 * 3);
}

TEST(RotatedBlit, ZeroAngleCopiesAndHalfTurnReverses) {
    LICE_MemBitmap src(6, 4, 4);
    FillRamp(src);
    LICE_MemBitmap dst(6, 4, 4);
    RotatedBlit(&dst, &src, 0, 0, 6, 4, 0, 0, 6, 4, 0.0f, true, 1.0f, ModeCopy, 0, 0);
    EXPECT_EQ(Count(dst, 0), 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(GetPixel(&dst, x, y), GetPixel(&src, x, y));
        }
    }
    RotatedBlit(&dst, &src, 0, 0, 6, 4, 0, 0, 6, 4, static_cast<float>(M_PI), true, 1.0f, ModeCopy, 0, 0);
    EXPECT_EQ(GetPixel(&dst, 0, 0), GetPixel(&src, 5, 3));
    EXPECT_EQ(GetPixel(&dst, 5, 1), GetPixel(&src, 0, 2));
}

TEST(RotatedBlit, PositiveAnglesTurnClockwise) {
    LICE_MemBitmap src(5, 5, 4);
    Clear(&src, 0xFF000000);
    src.Pixels()[2 * src.RowSpan() + 4] = 0xFFFFFFFF;  // right of centre
    LICE_MemBitmap dst(5, 5, 4);
    RotatedBlit(&dst, &src, 0, 0, 5, 5, 0, 0, 5, 5, static_cast<float>(M_PI / 2), true, 1.0f, ModeCopy, 0, 0);
    EXPECT_EQ(GetPixel(&dst, 2, 4), 0xFFFFFFFFu);  // now below the centre
    EXPECT_EQ(Count(dst, 0xFFFFFFFF), 1);
}

TEST(Shapes, DrawWhereExpected) {
    LICE_MemBitmap b(12, 12, 4);
    Clear(&b, 0);
    Line(&b, 0.5f, 2.5f, 9.5f, 2.5f, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(Count(b, 0xFFFFFFFF), 10);
    EXPECT_EQ(GetPixel(&b, 9, 2), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel(&b, 10, 2), 0u);

    Clear(&b, 0);
    FillTriangle(&b, 0, 0, 12, 0, 0, 12, 0xFF00FF00, 1.0f, ModeCopy);  // pixels with x + y + 1 < 12
    EXPECT_EQ(Count(b, 0xFF00FF00), 66);

    Clear(&b, 0);
    FillCircle(&b, 6.0f, 6.0f, 3.0f, 0xFF0000FF, 1.0f, ModeCopy, false);
    const int filled = Count(b, 0xFF0000FF);
    EXPECT_NEAR(filled, M_PI * 9, 6);
    EXPECT_EQ(GetPixel(&b, 6, 6), 0xFF0000FFu);
    EXPECT_EQ(GetPixel(&b, 1, 6), 0u);

    Clear(&b, 0);
    Circle(&b, 6.0f, 6.0f, 4.0f, 0xFFFF0000, 1.0f, ModeCopy, true);
    EXPECT_EQ(GetPixel(&b, 6, 6), 0u);  // hollow
    EXPECT_NE(GetPixel(&b, 6, 1), 0u);  // top of the ring, 4.5 above the centre line

    Clear(&b, 0);
    Arc(&b, 6.0f, 6.0f, 4.0f, 0.0f, static_cast<float>(M_PI / 2), 0xFFFF0000, 1.0f, ModeCopy, false);
    EXPECT_NE(GetPixel(&b, 8, 3), 0u);  // upper right quarter
    EXPECT_EQ(GetPixel(&b, 3, 8), 0u);  // not the lower left

    Clear(&b, 0);
    RoundRect(&b, 1.0f, 1.0f, 10.0f, 10.0f, 3, 0xFFFFFFFF, 1.0f, ModeCopy, false);
    EXPECT_EQ(GetPixel(&b, 6, 1), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel(&b, 1, 6), 0xFFFFFFFFu);
    EXPECT_EQ(GetPixel(&b, 1, 1), 0u);  // rounded corner
    EXPECT_EQ(GetPixel(&b, 6, 6), 0u);

    PutPixel(&b, 3, 4, 0xFF000000, 0.5f, ModeAdd);
    EXPECT_EQ(GetPixel(&b, 3, 4), 0x7F000000u);
    EXPECT_EQ(GetPixel(&b, -1, 4), 0u);
}

TEST(Shapes, AntialiasedLineSplitsCoverageBetweenNeighbours) {
    LICE_MemBitmap b(8, 8, 4);
    Clear(&b, 0xFF000000);
    Line(&b, 0.0f, 3.0f, 8.0f, 3.0f, 0xFFFFFFFF, 1.0f, ModeCopy, true);  // on the border of rows 2 and 3
    const LICE_pixel upper = GetPixel(&b, 4, 2), lower = GetPixel(&b, 4, 3);
    EXPECT_EQ(upper, lower);
    EXPECT_GT(upper & 0xFF, 100u);
    EXPECT_LT(upper & 0xFF, 160u);
}

TEST(Shapes, NoCoordinatesReadOrWriteOutsideTheBitmaps) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {-inf, -3e38f, -1e9f, -2.5f, 0.0f, 3.3f, 9.0f, 10.0f, 1e9f, 3e38f, inf, nan};
    const int ints[] = {std::numeric_limits<int>::min(), -100000, -1, 0, 4, 10, 11, 100000,
                        std::numeric_limits<int>::max()};
    GuardedBitmap dst(10, 9, 0x00000000);
    GuardedBitmap src(7, 5, 0xFF808080);
    for (float a : values) {
        for (float b : values) {
            Line(&dst, a, b, b, a, 0xFFFFFFFF, 1.0f, ModeCopy, false);
            Line(&dst, a, 4.0f, 5.0f, b, 0xFFFFFFFF, 0.7f, ModeAdd, true);
            Arc(&dst, a, b, 6.0f, -1.0f, 2.0f, 0xFFFFFFFF, 1.0f, ModeCopy, true);
            Circle(&dst, 5.0f, 5.0f, b, 0xFFFFFFFF, 1.0f, ModeCopy, false);
            FillCircle(&dst, a, 3.0f, b, 0xFFFFFFFF, 1.0f, ModeCopy, true);
            RoundRect(&dst, a, b, 12.0f, 6.0f, 3, 0xFFFFFFFF, 1.0f, ModeCopy, true);
            ScaledBlit(&dst, &src, -3, 2, 17, 20, a, b, 5.0f, 9.0f, 1.0f, ModeCopy | ModeFilter);
            ScaledBlit(&dst, &src, 0, 0, 10, 9, a, 1.0f, b, 3.0f, 1.0f, ModeCopy);
            RotatedBlit(&dst, &src, -2, -2, 14, 13, a, b, 7.0f, 5.0f, 0.7f, false, 1.0f, ModeCopy | ModeFilter, 0, 0);
            RotatedBlit(&dst, &src, 0, 0, 10, 9, 0, 0, 7, 5, a, true, 1.0f, ModeCopy, b, 1.0f);
        }
    }
    for (int a : ints) {
        for (int b : ints) {
            PutPixel(&dst, a, b, 0xFFFFFFFF, 1.0f, ModeCopy);
            FillTriangle(&dst, a, b, b, a, 5, 5, 0xFFFFFFFF, 1.0f, ModeCopy);
            const int xs[4] = {a, b, a, b}, ys[4] = {b, b, a, a};
            FillConvexPolygon(&dst, xs, ys, 4, 0xFFFFFFFF, 0.5f, ModeCopy);
            ScaledBlit(&dst, &src, a, b, b, a, 0, 0, 7, 5, 1.0f, ModeCopy | ModeFilter);
            RotatedBlit(&dst, &src, a, b, 30, 30, 0, 0, 7, 5, 1.0f, false, 1.0f, ModeCopy, 0, 0);
        }
    }
    EXPECT_TRUE(dst.MarginIntact());
    EXPECT_TRUE(dst.NoSentinelInside());
    EXPECT_TRUE(src.MarginIntact());
}
