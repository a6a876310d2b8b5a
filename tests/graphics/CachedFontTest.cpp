#include <cstring>

#include <gtest/gtest.h>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Shapes.h"
#include "tests/graphics/GuardedBitmap.h"

using namespace LICE;

namespace {

LICE_FontDescription Describe(const char* face, int height, int weight = 400) {
    LICE_FontDescription d;
    std::strncpy(d.faceName, face, sizeof d.faceName - 1);
    d.height = height;
    d.weight = weight;
    return d;
}

LICE_Rect Measure(LICE_CachedFont& font, const char* text) {
    LICE_Rect r{5, 7, 5, 7};
    font.DrawText(nullptr, text, -1, &r, TextCalcRect);
    return r;
}

}  // namespace

TEST(CachedFont, MeasuresWiderForLongerAndBiggerText) {
    LICE_CachedFont font;
    {
        const LICE_FontDescription d = Describe("Verdana", 12);
        font.SetFromHFont(&d, FontOwnsHandle | FontPreferNative);
    }
    // The font keeps its own copy of the (possibly temporary) description.
    ASSERT_NE(font.GetHFont(), nullptr);
    EXPECT_STREQ(font.GetHFont()->faceName, "Verdana");
    EXPECT_EQ(font.GetHFont()->height, 12);
    const LICE_Rect one = Measure(font, "In");
    EXPECT_GT(one.right - one.left, 0);
    EXPECT_GT(one.bottom - one.top, 0);
    EXPECT_EQ(one.bottom - one.top, font.GetLineHeight());
    const LICE_Rect longer = Measure(font, "Input gain");
    EXPECT_GT(longer.right - longer.left, one.right - one.left);
    const LICE_Rect twoLines = Measure(font, "In\nOut");
    EXPECT_EQ(twoLines.bottom - twoLines.top, 2 * font.GetLineHeight());

    LICE_CachedFont big;
    const LICE_FontDescription bd = Describe("Verdana", 30, 700);
    big.SetFromHFont(&bd, 0);
    EXPECT_GT(Measure(big, "In").right, one.right);
    // A length limits the text; malformed UTF-8 still measures.
    LICE_Rect part{0, 0, 0, 0};
    font.DrawText(nullptr, "Input gain", 2, &part, TextCalcRect);
    EXPECT_EQ(part.right, one.right - one.left);
    EXPECT_GT(Measure(font, "\xC3(\xFF\xE2\x82").right, 5);
}

TEST(CachedFont, DrawsInTheColourInsideTheRectangleOnly) {
    LICE_CachedFont font;
    const LICE_FontDescription d = Describe("DejaVu Sans", 16);
    font.SetFromHFont(&d, 0);
    font.SetTextColour(0xFFFF0000);
    GuardedBitmap b(60, 30, 0xFF000000);
    LICE_Rect r{10, 5, 40, 22};
    EXPECT_GT(font.DrawText(&b, "WWWWWW", -1, &r, TextCentred), 0);
    int exact = 0, touched = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const LICE_pixel p = b.At(x, y);
            if (p == 0xFF000000) {
                continue;
            }
            ++touched;
            EXPECT_TRUE(x >= r.left && x < r.right && y >= r.top && y < r.bottom) << x << "," << y;
            EXPECT_EQ(p & 0xFFFF, 0u);  // only red ever mixes in
            exact += p == 0xFFFF0000 ? 1 : 0;
        }
    }
    EXPECT_GT(touched, 20);
    EXPECT_GT(exact, 5);
    EXPECT_TRUE(b.MarginIntact());

    // Unclipped text still stays inside the bitmap.
    GuardedBitmap small(12, 8, 0);
    LICE_Rect wide{-20, -6, 40, 20};
    font.DrawText(&small, "Kestrom", -1, &wide, TextNoClip);
    EXPECT_TRUE(small.MarginIntact());
}

TEST(CachedFont, WithoutAFaceDrawsNothingAndMeasuresZero) {
    LICE_CachedFont font;
    LICE_MemBitmap b(20, 20, 4);
    Clear(&b, 0);
    LICE_Rect r{0, 0, 20, 20};
    EXPECT_EQ(font.DrawText(&b, "abc", -1, &r, 0), 0);
    EXPECT_EQ(GetPixel(&b, 5, 5), 0u);
    const LICE_Rect m = Measure(font, "abc");
    EXPECT_EQ(m.right, m.left);
    EXPECT_EQ(m.bottom, m.top);
}

TEST(CachedFont, ColourAlphaWeightsTheTextOnlyWhenAsked) {
    LICE_CachedFont font;
    const LICE_FontDescription d = Describe("DejaVu Sans", 20);
    font.SetFromHFont(&d, 0);
    font.SetTextColour(0x00FFFFFF);  // transparent white
    LICE_MemBitmap b(40, 30, 4);
    LICE_Rect r{0, 0, 40, 30};
    Clear(&b, 0xFF000000);
    font.DrawText(&b, "H", -1, &r, TextUseColourAlpha);
    int lit = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            lit += (GetPixel(&b, x, y) & 0xFF) > 2 ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 0);
    font.DrawText(&b, "H", -1, &r, 0);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            lit += GetPixel(&b, x, y) == 0xFFFFFFFF ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 10);
}
