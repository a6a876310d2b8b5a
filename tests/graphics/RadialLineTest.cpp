#include <gtest/gtest.h>

#include "graphics/LICE_Shapes.h"
#include "tests/graphics/EditorFixture.h"

// Radial lines are what line knobs draw: their end points must keep their
// fractions, or an antialiased pointer jumps from pixel to pixel.

TEST(DrawRadialLine, AntialiasedEndPointsKeepTheirFractions) {
    const struct {
        float cx;
        bool splitsOverTwoColumns;  // a centre on a pixel boundary shares the line
    } cases[] = {
        {10.5f, false},  // the middle of column 10: that column alone, fully
        {10.0f, true},   // the boundary of columns 9 and 10: half each
    };
    const IBlend copy(IBlend::kCopy, 1.0f);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cx);
        EditorFixture f(20, 20);
        f.AttachAndOpen();
        LICE::Clear(f.editor->BackBuffer(), kBlack.Packed());
        // Angle 0 points up: from (cx, 15) to (cx, 5).
        EXPECT_TRUE(f.editor->DrawRadialLine(kWhite, c.cx, 15.0f, 0.0f, 0.0f, 10.0f, &copy, true));
        const IRgba left = f.editor->ReadPixel(9, 10);
        const IRgba right = f.editor->ReadPixel(10, 10);
        if (c.splitsOverTwoColumns) {
            EXPECT_NEAR(left.r, 128, 2);
            EXPECT_NEAR(right.r, 128, 2);
        } else {
            EXPECT_EQ(left, kBlack);
            EXPECT_EQ(right, kWhite);
        }
    }
}
