#include <gtest/gtest.h>

#include <string>

#include "EditorFixture.h"
#include "graphics/IFontCache.h"
#include "graphics/controls/ICaptionControl.h"
#include "graphics/controls/ITextControl.h"

// Text drawing and measuring through the font cache.

namespace {
// A window layer that cannot make fonts.
class NoFonts : public IGraphicsHeadless {
public:
    using IGraphicsHeadless::IGraphicsHeadless;
    std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle&) override { return nullptr; }
};

int CountColour(IGraphicsHeadless& g, const IBounds& area, IRgba colour) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += g.ScreenPixel(x, y) == colour;
    return n;
}
}  // namespace

TEST(Text, ATextControlDrawsItsTextInsideItsArea) {
    EditorFixture f(120, 60);
    f.editor->AttachBackgroundColour(kBlack);
    ITextStyle style("DejaVu Sans", 16, kWhite);
    auto* label = new ITextControl(&f.plugin, IBounds(10, 10, 110, 40), style, "Kestrom");
    f.editor->AttachControl(label);
    f.AttachAndOpen();
    ASSERT_TRUE(f.editor->Tick());
    EXPECT_GT(CountColour(*f.editor, IBounds(10, 10, 110, 40), kWhite), 20);
    EXPECT_EQ(CountColour(*f.editor, IBounds(0, 45, 120, 60), kBlack), 120 * 15);
    // Changing the text marks it for drawing; the same text does not.
    label->SetText("Kestrom");
    EXPECT_FALSE(label->NeedsDraw());
    label->SetText("");
    EXPECT_TRUE(label->NeedsDraw());
    f.editor->Tick();
    EXPECT_EQ(CountColour(*f.editor, IBounds(10, 10, 110, 40), kWhite), 0);
}

TEST(Text, MeasuringPlacesTheTextsExtentByAlignment) {
    EditorTestPlugin plugin;
    IGraphicsHeadless g(&plugin, 200, 100);
    g.CreateDrawBuffers();
    ITextStyle style("DejaVu Sans", 14, kBlack, ITextStyle::kNormal, ITextStyle::kLeft);
    IBounds left(10, 20, 100, 40);
    ASSERT_TRUE(g.MeasureText(style, "Relaxed", left));
    const int w = left.Width();
    const int h = left.Height();
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    EXPECT_EQ(left, IBounds(10, 20, 10 + w, 20 + h));
    style.align = ITextStyle::kCentre;
    IBounds centred(10, 20, 100, 40);
    g.MeasureText(style, "Relaxed", centred);
    EXPECT_EQ(centred, IBounds(55 - w / 2, 20, 55 - w / 2 + w, 20 + h));
    style.align = ITextStyle::kRight;
    IBounds right(10, 20, 100, 40);
    g.MeasureText(style, "Relaxed", right);
    EXPECT_EQ(right, IBounds(100 - w, 20, 100, 20 + h));
    IBounds untouched(1, 2, 3, 4);
    EXPECT_TRUE(g.MeasureText(style, "", untouched));
    EXPECT_EQ(untouched, IBounds(1, 2, 3, 4));
}

TEST(Text, EachFontIsMadeOncePerSizeAngleStyleAndFace) {
    EditorTestPlugin plugin;
    IGraphicsHeadless g(&plugin, 10, 10);
    ITextStyle a("DejaVu Sans", 23, kBlack);
    ITextStyle b("DejaVu Sans", 23, kRed);  // colour is not part of the key
    ITextStyle c("dejavu sans", 23, kBlack);  // the face name matches case-sensitively
    const int before = IFontCache::Instance().Count();
    LICE_IFont* fa = g.FindOrCreateFont(a);
    ASSERT_NE(fa, nullptr);
    EXPECT_EQ(a.cachedFont, fa);
    EXPECT_EQ(g.FindOrCreateFont(b), fa);
    EXPECT_NE(g.FindOrCreateFont(c), fa);
    EXPECT_EQ(IFontCache::Instance().Count(), before + 2);
}

TEST(Text, WithoutAFontNothingIsDrawnAndTheFailureIsReported) {
    EditorTestPlugin plugin;
    NoFonts g(&plugin, 50, 50);
    g.CreateDrawBuffers();
    ITextStyle style("No Such Face", 61, kBlack);
    EXPECT_FALSE(g.DrawText(style, "x", IBounds(0, 0, 50, 50)));
    EXPECT_TRUE(g.DrawText(style, "", IBounds(0, 0, 50, 50)));
    IBounds area(0, 0, 50, 50);
    EXPECT_FALSE(g.MeasureText(style, "x", area));
    EXPECT_EQ(style.cachedFont, nullptr);
}

TEST(Text, ACaptionShowsItsParametersValueAndUnit) {
    EditorFixture f(120, 60);
    ITextStyle style("DejaVu Sans", 12, kWhite);
    auto* withUnit = new ICaptionControl(&f.plugin, IBounds(0, 0, 120, 20), EditorTestPlugin::kGain, style, true);
    auto* bare = new ICaptionControl(&f.plugin, IBounds(0, 20, 120, 40), EditorTestPlugin::kPower, style, false);
    f.editor->AttachControl(withUnit);
    f.editor->AttachControl(bare);
    f.AttachAndOpen();
    f.plugin.SetParameterFromGUI(EditorTestPlugin::kGain, 0.75);
    f.editor->Tick();
    EXPECT_EQ(withUnit->Text(), "10.0 dB");
    EXPECT_EQ(bare->Text(), "on");
}
