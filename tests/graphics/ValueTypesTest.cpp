#include <gtest/gtest.h>

#include <string>

#include "graphics/IBitmapRef.h"
#include "graphics/IBlend.h"
#include "graphics/IBounds.h"
#include "graphics/IMenu.h"
#include "graphics/IRgba.h"
#include "graphics/ITextStyle.h"

TEST(IBounds, ContainsIsHalfOpenAndTheEmptyRectangleHoldsNothing) {
    const IBounds r(10, 20, 30, 40);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 39));
    EXPECT_FALSE(r.Contains(30, 20));
    EXPECT_FALSE(r.Contains(10, 40));
    EXPECT_FALSE(r.Contains(9, 25));
    EXPECT_FALSE(IBounds().Contains(0, 0));
    // Only all four zeros is empty; a zero-width rectangle elsewhere is not.
    EXPECT_FALSE(IBounds(5, 5, 5, 9).IsEmpty());
}

TEST(IBounds, IntersectsCountsTouchingOnlyFromTheFirstRectanglesRightAndBottom) {
    struct Case {
        IBounds a, b;
        bool intersects;
        IBounds intersection;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, true, {10, 0, 10, 10}},   // a touches b's left edge
        {{10, 0, 20, 10}, {0, 0, 10, 10}, false, {}},               // a touches b's right edge
        {{0, 0, 10, 10}, {0, 10, 10, 20}, true, {0, 10, 10, 10}},   // a touches b's top edge
        {{0, 10, 10, 20}, {0, 0, 10, 10}, false, {}},
        {{0, 0, 10, 10}, {20, 20, 30, 30}, false, {}},
        {{}, {0, 0, 10, 10}, false, {}},
        {{0, 0, 10, 10}, {}, false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IBounds::Intersects(c.a, c.b), c.intersects);
        EXPECT_EQ(IBounds::Intersection(c.a, c.b), c.intersection);
    }
}

TEST(IBounds, UnionSkipsTheEmptyRectangle) {
    const IBounds a(10, 10, 20, 20);
    EXPECT_EQ(IBounds::Union(IBounds(), a), a);
    EXPECT_EQ(IBounds::Union(a, IBounds()), a);
    EXPECT_EQ(IBounds::Union(a, IBounds(0, 15, 12, 40)), IBounds(0, 10, 20, 40));
    EXPECT_EQ(a.Width(), 10);
    EXPECT_EQ(a.Height(), 10);
}

TEST(IRgba, PacksForTheBitmapLayerAndForWindows) {
    const IRgba c(0x80, 0x12, 0x34, 0x56);
    EXPECT_EQ(c.Packed(), 0x80123456u);
    EXPECT_EQ(c.ColourRef(), 0x563412u);
    EXPECT_EQ(IRgba::FromPacked(0x80123456u), c);
}

TEST(ITextStyle, DefaultsAreVerdanaTwelveCentredBlackOnWhiteEntry) {
    const ITextStyle s;
    EXPECT_STREQ(s.fontName, "Verdana");
    EXPECT_EQ(s.size, 12);
    EXPECT_EQ(s.colour, IRgba(255, 0, 0, 0));
    EXPECT_EQ(s.entryBackground, IRgba(255, 255, 255, 255));
    EXPECT_EQ(s.entryForeground, IRgba(255, 0, 0, 0));
    EXPECT_EQ(s.align, ITextStyle::kCentre);
    EXPECT_EQ(s.cachedFont, nullptr);
    ITextStyle longName;
    longName.SetFontName("A face name far longer than thirty-one characters");
    EXPECT_EQ(std::string(longName.fontName).size(), 31u);
}

TEST(IBlend, MethodsMapToImageAndShapeModes) {
    struct Case {
        int method, image, shape;
    };
    const Case cases[] = {
        {IBlend::kAlpha, LICE::ModeCopy | LICE::ModeUseSourceAlpha, LICE::ModeCopy},
        {IBlend::kCopy, LICE::ModeCopy, LICE::ModeCopy},
        {IBlend::kAdd, LICE::ModeAdd | LICE::ModeUseSourceAlpha, LICE::ModeAdd},
        {IBlend::kDodge, LICE::ModeDodge | LICE::ModeUseSourceAlpha, LICE::ModeDodge},
        {7, LICE::ModeCopy | LICE::ModeUseSourceAlpha, LICE::ModeCopy},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IBlend(c.method, 1.0f).ImageMode(), c.image) << c.method;
        EXPECT_EQ(IBlend(c.method, 1.0f).ShapeMode(), c.shape) << c.method;
    }
    EXPECT_EQ(BlendOrDefault(nullptr)->method, IBlend::kAlpha);
    EXPECT_EQ(BlendOrDefault(nullptr)->weight, 1.0f);
}

TEST(IBitmapRef, FrameForValueSplitsTheRangeEvenly) {
    const IBitmapRef knob(nullptr, 148, 18944, 128);
    EXPECT_EQ(knob.FrameHeight(), 148);
    struct Case {
        double value;
        int frame;
    };
    const Case cases[] = {{0.0, 1}, {0.0025, 1}, {0.5, 65}, {1.0, 128}, {-0.5, 1}, {1.5, 128}};
    for (const Case& c : cases) EXPECT_EQ(knob.FrameForValue(c.value), c.frame) << c.value;
    const IBitmapRef led(nullptr, 32, 64, 2);
    EXPECT_EQ(led.FrameForValue(0.49), 1);
    EXPECT_EQ(led.FrameForValue(0.5), 2);
    EXPECT_EQ(IBitmapRef(nullptr, 16, 45, 1).FrameForValue(0.7), 1);
}

TEST(IBitmapRef, FrameSizeFollowsTheStripDirectionAndIgnoresABadFrameCount) {
    EXPECT_EQ(IBitmapRef(nullptr, 300, 50, 3, true).FrameWidth(), 100);
    EXPECT_EQ(IBitmapRef(nullptr, 300, 50, 3, true).FrameHeight(), 50);
    EXPECT_EQ(IBitmapRef(nullptr, 30, 90, 0).FrameHeight(), 90);
    EXPECT_EQ(IBitmapRef(nullptr, 30, 90, -2).FrameForValue(1.0), 1);
}

TEST(IMenu, NumberingPrefixesThePosition) {
    for (int numbering : {0, 1, 2, 3}) {
        IMenu menu(numbering);
        menu.AddItem("one");
        menu.AddItem("two");
        menu.AddItem("three");
        const char* expected[] = {"three", "3: three", "03: three", "003: three"};
        EXPECT_EQ(menu.DisplayText(2), expected[numbering]);
        EXPECT_EQ(menu.chosenIndex, -1);
    }
    IMenu menu;
    EXPECT_EQ(menu.DisplayText(0), "");
}
