// Parameter state, preset slots and preset banks of the plug-in base.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "TestPlugin.h"
#include "core/Base64.h"

namespace {

// Three parameters: a gain, a switch and a list.
class ThreeParams : public TestPlugin {
public:
    explicit ThreeParams(int presets = 2) : TestPlugin(3, "1-1", presets) {
        Param(0)->DefineContinuous("Gain", 0.0, -20.0, 20.0, 0.1, "dB");
        Param(1)->DefineSwitch("On", true);
        Param(2)->DefineList("Mode", 0, 3);
    }
};

IStateChunk StateOf(std::initializer_list<double> values) {
    IStateChunk c;
    for (double v : values) c.AppendDouble(v);
    return c;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(ParamState, SaveRestoreRoundTrip) {
    ThreeParams a, b;
    a.Param(0)->Set(-3.37);
    a.Param(1)->Set(0.0);
    a.Param(2)->Set(2.0);
    IStateChunk state;
    ASSERT_TRUE(a.SaveState(state));
    EXPECT_EQ(state.ByteCount(), 24);
    EXPECT_EQ(b.LoadState(state, 0), 24);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.Param(i)->Value(), a.Param(i)->Value());
    EXPECT_EQ(b.changed, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(b.StateMatches(state.Bytes(), state.ByteCount(), 0));
}

TEST(ParamState, RestoreClampsButDoesNotQuantise) {
    ThreeParams p;
    EXPECT_EQ(p.LoadState(StateOf({55.0, 1.0, 1.25}), 0), 24);
    EXPECT_EQ(p.Param(0)->Value(), 20.0);
    EXPECT_EQ(p.Param(2)->Value(), 1.25);
}

TEST(ParamState, ShortChunkSetsTheFirstMissingValueToZeroClampedAndKeepsTheRest) {
    ThreeParams p;
    p.Param(1)->Set(1.0);
    p.Param(2)->Set(2.0);
    const IStateChunk shortState = StateOf({-5.0});
    EXPECT_EQ(p.LoadState(shortState, 0), -1);
    EXPECT_EQ(p.Param(0)->Value(), -5.0);
    EXPECT_EQ(p.Param(1)->Value(), 0.0);  // first missing: 0 clamped
    EXPECT_EQ(p.Param(2)->Value(), 2.0);  // after it: kept
    EXPECT_EQ(p.changed.size(), 3u);      // every parameter is notified anyway

    ThreeParams q;
    q.Param(0)->Set(10.0);
    EXPECT_EQ(q.LoadState(IStateChunk(), 0), -1);
    EXPECT_EQ(q.Param(0)->Value(), 0.0);
}

TEST(ParamState, StoredNaNReadsAsMissingValue) {
    ThreeParams p;
    p.LoadState(StateOf({std::nan(""), 1.0, 1.0}), 0);
    EXPECT_EQ(p.Param(0)->Value(), 0.0);
}

TEST(ParamState, StateMatchesWithinSinglePrecisionTolerance) {
    ThreeParams p;
    p.Param(0)->Set(1.0);
    const IStateChunk close = StateOf({1.000004, 1.0, 0.0});
    const IStateChunk far = StateOf({1.0001, 1.0, 0.0});
    EXPECT_TRUE(p.StateMatches(close.Bytes(), close.ByteCount(), 0));
    EXPECT_FALSE(p.StateMatches(far.Bytes(), far.ByteCount(), 0));
    // Position counts 8-byte values.
    const IStateChunk shifted = StateOf({99.0, 1.0, 1.0, 0.0});
    EXPECT_TRUE(p.StateMatches(shifted.Bytes(), shifted.ByteCount(), 1));
    // Too short for every parameter: no match rather than a read past the data.
    EXPECT_FALSE(p.StateMatches(close.Bytes(), 16, 0));
}

TEST(Presets, BankOfOneSlotHasTheDocumentedLayout) {
    ThreeParams p(1);
    p.CaptureDefaultPresets("-", 1);
    IStateChunk bank;
    ASSERT_TRUE(p.SerializePresets(bank));
    ASSERT_EQ(bank.ByteCount(), 4 + 1 + 1 + 24);
    const uint8_t head[] = {1, 0, 0, 0, '-', 1};
    EXPECT_EQ(std::memcmp(bank.Bytes(), head, sizeof head), 0);
}

TEST(Presets, BankRoundTripsNamesFlagsAndStates) {
    ThreeParams a(3);
    a.Param(0)->Set(4.5);
    a.CaptureDefaultPresets("first", 1);
    a.Param(0)->Set(-7.0);
    a.CaptureDefaultPresets("second", 1);
    IStateChunk bank;
    ASSERT_TRUE(a.SerializePresets(bank));

    ThreeParams b(3);
    EXPECT_EQ(b.UnserializePresets(bank, 0), bank.ByteCount());
    EXPECT_STREQ(b.SlotName(0), "first");
    EXPECT_STREQ(b.SlotName(1), "second");
    EXPECT_FALSE(b.Preset(2)->initialised);
    EXPECT_EQ(b.Preset(1)->state, a.Preset(1)->state);
    // The current preset (0) is restored at the end.
    EXPECT_EQ(b.Param(0)->Value(), 4.5);
}

TEST(Presets, TruncatedBankKeepsWhatWasReadAndRestoresCurrent) {
    ThreeParams a(2);
    a.CaptureDefaultPresets("one", 2);
    IStateChunk bank;
    a.SerializePresets(bank);
    for (int cut = 0; cut < bank.ByteCount(); ++cut) {
        IStateChunk part;
        part.Append(bank.Bytes(), cut);
        ThreeParams b(2);
        EXPECT_EQ(b.UnserializePresets(part, 0), -1) << cut;
    }
}

TEST(Presets, RestoringAnUnsetSlotCapturesItAsAUserPreset) {
    ThreeParams p(2);
    p.Param(0)->Set(3.0);
    EXPECT_TRUE(p.LoadPresetSlot(1));
    EXPECT_TRUE(p.Preset(1)->initialised);
    EXPECT_STREQ(p.SlotName(1), "user preset 1");
    EXPECT_EQ(p.CurrentPresetIndex(), 1);
    EXPECT_EQ(p.presetRestored, 1);
    EXPECT_TRUE(p.LoadPresetSlot(0));
    EXPECT_STREQ(p.SlotName(0), "user preset 2");
    EXPECT_FALSE(p.LoadPresetSlot(2));
    EXPECT_FALSE(p.LoadPresetSlot(-1));
}

TEST(Presets, SlotUnsetByABankIsCapturedAfreshWhenRestored) {
    ThreeParams a(2);
    a.CaptureDefaultPresets("a", 1);  // slot 1 stays unset
    IStateChunk bank;
    ASSERT_TRUE(a.SerializePresets(bank));

    ThreeParams b(2);
    b.Param(0)->Set(9.0);
    b.CaptureDefaultPresets("held", 2);
    b.UnserializePresets(bank, 0);
    ASSERT_FALSE(b.Preset(1)->initialised);
    b.Param(0)->Set(-3.0);
    ASSERT_TRUE(b.LoadPresetSlot(1));  // captures -3 dB as a user preset
    EXPECT_EQ(b.Preset(1)->state, StateOf({-3.0, 1.0, 0.0}));
    b.Param(0)->Set(0.0);
    ASSERT_TRUE(b.LoadPresetSlot(1));
    EXPECT_EQ(b.Param(0)->Value(), -3.0);
}

TEST(Presets, LoadByNameIsExactAndRestoresValues) {
    ThreeParams p(2);
    p.Param(0)->Set(6.0);
    p.CaptureDefaultPresets("Warm", 1);
    p.Param(0)->Set(0.0);
    EXPECT_FALSE(p.LoadPresetSlotNamed("warm"));
    EXPECT_FALSE(p.LoadPresetSlotNamed(""));
    EXPECT_TRUE(p.LoadPresetSlotNamed("Warm"));
    EXPECT_EQ(p.Param(0)->Value(), 6.0);
}

TEST(Presets, CaptureStopsWhenSlotsRunOutAndNamesEmptyByDefault) {
    ThreeParams p(2);
    p.CaptureDefaultPresets(nullptr, 5);
    EXPECT_STREQ(p.SlotName(0), "Empty");
    EXPECT_TRUE(p.Preset(1)->initialised);
    EXPECT_EQ(p.MakePresetFromValues("x", 1.0, 1, 0), nullptr);
}

TEST(Presets, ModifyCurrentPresetStoresValuesAndOptionalName) {
    ThreeParams p(1);
    p.CaptureDefaultPresets("a", 1);
    p.Param(0)->Set(12.0);
    p.ModifyCurrentPreset();
    EXPECT_STREQ(p.SlotName(0), "a");
    p.ModifyCurrentPreset("b");
    EXPECT_STREQ(p.SlotName(0), "b");
    p.Param(0)->Set(0.0);
    p.LoadPresetSlot(0);
    EXPECT_EQ(p.Param(0)->Value(), 12.0);
}

TEST(Presets, DiscardUnsetPresetsKeepsOrder) {
    ThreeParams p(4);
    p.CaptureDefaultPresets("a", 1);
    p.MakePresetFromBytes("b", StateOf({1, 1, 1}));
    p.Preset(2)->initialised = false;
    p.DiscardUnsetPresets();
    ASSERT_EQ(p.NPresets(), 2);
    EXPECT_STREQ(p.SlotName(0), "a");
    EXPECT_STREQ(p.SlotName(1), "b");
}

TEST(Presets, MakeFromValuesAndNamedParams) {
    ThreeParams p(3);
    p.Param(0)->Set(2.0);
    IPresetSlot* values = p.MakePresetFromValues("v", -1.5, 0, 2);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->state, StateOf({-1.5, 0, 2}));
    // Unnamed parameters (and out-of-range indexes) take the current values.
    IPresetSlot* named = p.MakePresetFromNamedParams("n", {{2, 1.0}, {17, 5.0}});
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->state, StateOf({2.0, 1.0, 1.0}));
    IPresetSlot* marker = p.MakePresetFromNamedParams("m", {{0, 9.999e-8}});
    EXPECT_EQ(marker->state, StateOf({2.0, 1.0, 0.0}));
}

TEST(Presets, MakeFromBlobPadsOrCutsToTheByteCount) {
    ThreeParams p(3);
    const IStateChunk state = StateOf({1.0, 0.0, 2.0});
    const std::string text = kestrom::Base64Encode(state.Bytes(), state.ByteCount());
    IPresetSlot* exact = p.MakePresetFromBlob("exact", text.c_str(), 24);
    EXPECT_EQ(exact->state, state);
    IPresetSlot* padded = p.MakePresetFromBlob("padded", "AQID", 6);
    ASSERT_EQ(padded->state.ByteCount(), 6);
    EXPECT_EQ(padded->state.Bytes()[2], 3);
    EXPECT_EQ(padded->state.Bytes()[5], 0);
    IPresetSlot* cut = p.MakePresetFromBlob("cut", "AQID", 2);
    EXPECT_EQ(cut->state.ByteCount(), 2);
}

TEST(Presets, SourceAndBlobFilesRecreateThePreset) {
    ThreeParams p(1);
    p.Param(0)->Set(-3.25);
    p.Param(1)->Set(0.0);
    p.Param(2)->Set(2.0);
    p.CaptureDefaultPresets("x", 1);
    const std::string dir = ::testing::TempDir();
    const char* names[] = {"kGain", "kOn", "kMode"};
    ASSERT_TRUE(p.WritePresetSourceFile((dir + "preset.txt").c_str(), names));
    EXPECT_EQ(ReadFile(dir + "preset.txt"),
              "  MakePresetFromNamedParams(\"name\", 3,\n    kGain, -3.250000,\n    kOn, false,\n"
              "    kMode, 2);\n");
    ASSERT_TRUE(p.WritePresetBlobFile((dir + "blob.txt").c_str()));
    const std::string blob = ReadFile(dir + "blob.txt");
    const std::string encoded = kestrom::Base64Encode(p.Preset(0)->state.Bytes(), 24);
    EXPECT_EQ(blob, "MakePresetFromBlob(\"name\", \"" + encoded + "\", 24);\n");
    EXPECT_FALSE(p.WritePresetSourceFile("/nonexistent-dir/x.txt", names));
}

TEST(Presets, OverLongNamesAreCut) {
    ThreeParams p(1);
    const std::string name(400, 'q');
    p.CaptureDefaultPresets(name.c_str(), 1);
    EXPECT_EQ(std::string(p.SlotName(0)), std::string(255, 'q'));
}
