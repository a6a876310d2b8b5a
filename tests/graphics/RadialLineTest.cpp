#include <gtest/gtest.h>

#include "graphics/LICE_Shapes.h"
#include "graphics/controls/IKnobLineControl.h"
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

TEST(IKnobLineControl, OnlyAnOuterRadiusOfZeroMeansHalfTheWidth) {
    // A negative outer radius is kept: the line then runs from the centre
    // away from the angle's direction.
    const struct {
        float outer;
        int litRow;   // on the centre column, lit by the line
        int darkRow;  // on the centre column, left alone
    } cases[] = {
        {0.0f, 5, 30},     // up to the top edge (radius 20.5)
        {-10.0f, 25, 10},  // down from the centre, ten pixels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outer);
        EditorFixture f(41, 41);
        f.editor->AttachBackgroundColour(kBlack);
        // Gain at 0 dB: value 0.5, the middle of -2 .. 2 radians, pointing up.
        f.editor->AttachControl(new IKnobLineControl(&f.plugin, IBounds(0, 0, 41, 41), EditorTestPlugin::kGain,
                                                     kWhite, -2.0f, 2.0f, 0.0f, c.outer));
        f.AttachAndOpen();
        f.editor->Tick();
        EXPECT_EQ(f.editor->ScreenPixel(20, c.litRow), kWhite);
        EXPECT_EQ(f.editor->ScreenPixel(20, c.darkRow), kBlack);
    }
}
