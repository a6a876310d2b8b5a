#include "core/IPlugParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

IPlugParam Gain() {
    IPlugParam p;
    p.DefineContinuous("In", 0.0, -20.0, 20.0, 0.1, "dB", "", 1.0);
    return p;
}

std::string Format(const IPlugParam& p, double v, bool isNormal = false, bool useTexts = true) {
    char out[IPlugParam::kTextSize + 8];
    std::memset(out, 'X', sizeof out);
    p.FormatValue(v, isNormal, out, useTexts);
    // Nothing may be written past the 32-byte output.
    for (int i = IPlugParam::kTextSize; i < static_cast<int>(sizeof out); ++i) EXPECT_EQ(out[i], 'X');
    return out;
}

}  // namespace

TEST(IPlugParam, FreshParameterHasDocumentedDefaults) {
    IPlugParam p;
    EXPECT_EQ(p.Kind(), IPlugParam::Unset);
    EXPECT_EQ(p.Value(), 0.0);
    EXPECT_EQ(p.Min(), 0.0);
    EXPECT_EQ(p.Max(), 1.0);
    EXPECT_EQ(p.Step(), 1.0);
    EXPECT_EQ(p.Curve(), 1.0);
    EXPECT_TRUE(p.Automatable());
    EXPECT_STREQ(p.Name(), "");
}

TEST(IPlugParam, DefinitionCascadeKeepsTheMostSpecificKind) {
    IPlugParam sw, list, integer;
    sw.DefineSwitch("Power", true);
    list.DefineList("Mode", 1, 3);
    integer.DefineInteger("Count", 4, 2, 9);
    EXPECT_EQ(sw.Kind(), IPlugParam::Switch);
    EXPECT_EQ(sw.Value(), 1.0);
    EXPECT_EQ(sw.Max(), 1.0);
    EXPECT_EQ(sw.ValueTextCount(), 2);
    EXPECT_EQ(list.Kind(), IPlugParam::List);
    EXPECT_EQ(list.Max(), 2.0);
    EXPECT_EQ(integer.Kind(), IPlugParam::Integer);
    EXPECT_EQ(integer.Min(), 2.0);
    EXPECT_EQ(integer.Step(), 1.0);
}

TEST(IPlugParam, DefaultIsStoredUnclampedAndRangeIsAtLeastOneStep) {
    IPlugParam p;
    p.DefineContinuous("x", 5.0, 0.0, 0.0, 0.5);
    EXPECT_EQ(p.Max(), 0.5);
    EXPECT_EQ(p.Value(), 5.0);
    EXPECT_EQ(p.Default(), 5.0);
}

TEST(IPlugParam, DecimalsFollowTheStep) {
    const struct {
        double step;
        int decimals;
    } cases[] = {{1.0, 0}, {0.1, 1}, {0.25, 2}, {0.01, 2}, {1.0 / 3.0, 6}, {2.0, 0}};
    for (const auto& c : cases) {
        IPlugParam p;
        p.DefineContinuous("x", 0.0, 0.0, 10.0, c.step);
        EXPECT_EQ(p.Decimals(), c.decimals) << "step " << c.step;
    }
}

TEST(IPlugParam, SetFromNormalQuantisesEveryKindButContinuous) {
    IPlugParam list;
    list.DefineList("List", 0, 3);
    list.SetFromNormal(0.5);
    EXPECT_EQ(list.Value(), 1.0);
    list.SetFromNormal(0.75);  // 1.5 rounds up
    EXPECT_EQ(list.Value(), 2.0);
    list.SetFromNormal(0.24);
    EXPECT_EQ(list.Value(), 0.0);

    IPlugParam gain = Gain();
    gain.SetFromNormal(0.5);
    EXPECT_EQ(gain.Value(), 0.0);
    gain.SetFromNormal(0.75);
    EXPECT_EQ(gain.Value(), 10.0);
    gain.SetFromNormal(0.50123);
    EXPECT_NEAR(gain.Value(), 0.0492, 1e-12);  // not snapped to 0.1
}

TEST(IPlugParam, SetFromNormalClampsOnlyAtTheTop) {
    IPlugParam gain = Gain();
    gain.SetFromNormal(1.2);
    EXPECT_EQ(gain.Value(), 20.0);
    gain.SetFromNormal(-0.1);
    EXPECT_NEAR(gain.Value(), -24.0, 1e-12);
}

TEST(IPlugParam, NormalRoundTripsThroughValue) {
    for (double curve : {1.0, 2.0, 0.5}) {
        IPlugParam p;
        p.DefineContinuous("x", 0.0, -20.0, 20.0, 0.1, "", "", curve);
        for (double x : {0.0, 0.1, 0.25, 0.5, 0.9, 1.0}) {
            p.SetFromNormal(x);
            EXPECT_NEAR(p.CurrentNormal(), x, 1e-12) << "curve " << curve;
        }
    }
}

TEST(IPlugParam, CurveTwoPutsHalfWayAQuarterUp) {
    IPlugParam p;
    p.DefineContinuous("x", 0.0, 0.0, 100.0, 0.1, "", "", 2.0);
    p.SetFromNormal(0.5);
    EXPECT_DOUBLE_EQ(p.Value(), 25.0);
    EXPECT_DOUBLE_EQ(p.ToNormal(25.0), 0.5);
}

TEST(IPlugParam, ToNormalClampsFirst) {
    IPlugParam gain = Gain();
    EXPECT_EQ(gain.ToNormal(25.0), 1.0);
    EXPECT_EQ(gain.ToNormal(-90.0), 0.0);
}

TEST(IPlugParam, SetCurveZeroKeepsThePreviousCurve) {
    IPlugParam p;
    p.SetCurve(3.0);
    p.SetCurve(0.0);
    EXPECT_EQ(p.Curve(), 3.0);
}

TEST(IPlugParam, SetClampsWithoutQuantising) {
    IPlugParam gain = Gain();
    gain.Set(3.14159);
    EXPECT_EQ(gain.Value(), 3.14159);
    gain.Set(99.0);
    EXPECT_EQ(gain.Value(), 20.0);
    gain.Set(-99.0);
    EXPECT_EQ(gain.Value(), -20.0);
    gain.Set(std::nan(""));  // not a value: ignored
    EXPECT_EQ(gain.Value(), -20.0);
}

TEST(IPlugParam, GainFactorUsesTheSinglePrecisionConstant) {
    IPlugParam gain = Gain();
    EXPECT_EQ(gain.GainFactor(), 1.0);
    gain.Set(20.0);
    EXPECT_NEAR(gain.GainFactor(), 10.0000000217, 1e-10);
    EXPECT_NE(gain.GainFactor(), 10.0);
    gain.Set(-20.0);
    EXPECT_NEAR(gain.GainFactor(), 0.0999999998, 1e-10);
}

TEST(IPlugParam, DisplayTexts) {
    IPlugParam gain = Gain();
    IPlugParam sw;
    sw.DefineSwitch("Deep", false);
    IPlugParam integer;
    integer.DefineInteger("n", 0, -10, 10);
    const struct {
        const IPlugParam* param;
        double value;
        bool isNormal;
        bool useTexts;
        const char* text;
    } cases[] = {
        {&gain, 3.0, false, true, "3.0"},
        {&gain, -20.0, false, true, "-20.0"},
        {&gain, 0.75, true, true, "10.0"},
        {&gain, 0.05, false, true, "0.1"},
        {&sw, 1.0, false, true, "on"},
        {&sw, 0.0, false, true, "off"},
        {&sw, 1.0, false, false, "1"},
        {&integer, 2.9, false, true, "2"},
        {&integer, -2.9, false, true, "-2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(*c.param, c.value, c.isNormal, c.useTexts), c.text) << c.value;
}

TEST(IPlugParam, FormatValueStaysWithinItsBufferForAnyValue) {
    IPlugParam gain = Gain();
    IPlugParam integer;
    integer.DefineInteger("n", 0, 0, 10);
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {1e300, -1e300, inf, -inf, std::nan(""), 3e9, -3e9}) {
        EXPECT_FALSE(Format(gain, v).empty());
        EXPECT_FALSE(Format(integer, v).empty());
    }
    EXPECT_EQ(Format(integer, 3e9), "3000000000");
}

TEST(IPlugParam, UnitTextIsEmptyWhenTheValueHasAText) {
    IPlugParam sw;
    sw.DefineSwitch("Deep", true, "x");
    EXPECT_STREQ(sw.UnitText(), "");
    IPlugParam gain = Gain();
    EXPECT_STREQ(gain.UnitText(), "dB");
}

TEST(IPlugParam, ValueTextLookupsTakeTheFirstMatch) {
    IPlugParam p;
    p.DefineList("Mode", 0, 3);
    p.AddValueText(1, "one");
    p.AddValueText(1, "uno");
    p.AddValueText(2, "two");
    EXPECT_STREQ(p.ValueTextFor(1), "one");
    EXPECT_STREQ(p.ValueTextFor(5), "");
    int v = -1;
    EXPECT_TRUE(p.FindValueText("two", &v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(p.FindValueText("Two", &v));
    EXPECT_STREQ(p.ValueTextAt(1, &v), "uno");
    EXPECT_EQ(v, 1);
    EXPECT_STREQ(p.ValueTextAt(7, &v), "");  // outside the list: empty, no read past it
}

TEST(IPlugParam, OverLongTextsAreCutNotOverrun) {
    const std::string longText(100, 'n');
    IPlugParam p;
    p.DefineContinuous(longText.c_str(), 0.0, 0.0, 1.0, 0.1, longText.c_str(), longText.c_str());
    p.AddValueText(0, longText.c_str());
    EXPECT_EQ(std::string(p.Name()), std::string(31, 'n'));
    EXPECT_EQ(std::string(p.Unit()), std::string(31, 'n'));
    EXPECT_EQ(std::string(p.ValueTextFor(0)), std::string(31, 'n'));
}
