// The Kestrom plug-in as the host and the tools see it: identity, parameters,
// saved state, preset, hooks and the processing entry.
#include "compressor/Kestrom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/HostIdentity.h"

using namespace kestrom;

namespace {

// Records the needle hand-offs of each block.
class NeedleRecorder : public IPlugEditor {
public:
    explicit NeedleRecorder(std::vector<double>* log, int* dirtyCalls) : needle(log), dirty(dirtyCalls) {}
    void SetParameterFromPlugin(int index, double value, bool normalised) override {
        if (index == kMeterIndex && normalised) needle->push_back(value);
    }
    void CreateDrawBuffers() override {}
    void MarkAllControlsDirty() override { ++*dirty; }

private:
    std::vector<double>* needle;
    int* dirty;
};

// One stereo host block, processed in place.
void RunBlock(Kestrom& plug, std::vector<float>& l, std::vector<float>& r) {
    const float* in[2] = {l.data(), r.data()};
    float* out[2] = {l.data(), r.data()};
    plug.ProcessHostBlock(in, out, static_cast<int>(l.size()));
}

}  // namespace

TEST(Kestrom, IdentityAsTheHostSeesIt) {
    Kestrom plug;
    EXPECT_STREQ(plug.Title(), "Kestrom");
    EXPECT_STREQ(plug.ProductTitle(), "");
    EXPECT_STREQ(plug.VendorName(), "Tollbrink");
    EXPECT_EQ(plug.EffectCode(), 0x4B735432);  // 'KsT2'
    EXPECT_EQ(plug.VendorCode(), 0x5462526B);  // 'TbRk'
    EXPECT_EQ(plug.EffectVersionNumber(true), 20000);
    EXPECT_EQ(plug.ApiKind(), kApiRTAS);
    EXPECT_EQ(plug.Latency(), 0);
    EXPECT_EQ(plug.BlockSize(), 1024);
    EXPECT_TRUE(plug.LegalIO(1, 1));
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_FALSE(plug.LegalIO(1, 2));
    EXPECT_TRUE(plug.IsInputConnected(1));
    EXPECT_EQ(plug.HostKind(), kHostProTools);
}

TEST(Kestrom, ParametersFollowTheTable) {
    Kestrom plug;
    ASSERT_EQ(plug.NParams(), kNumParams);
    for (int i = 0; i < kNumParams; ++i) {
        const IPlugParam* p = plug.Param(i);
        EXPECT_STREQ(p->Name(), kParamTable[i].name);
        EXPECT_EQ(p->Kind(), kParamTable[i].kind);
        EXPECT_EQ(p->Value(), kParamTable[i].defaultValue);
    }
    char text[IPlugParam::kTextSize];
    plug.Param(kIn)->FormatValue(plug.Param(kIn)->Value(), false, text);
    EXPECT_STREQ(text, "0.0");
    EXPECT_STREQ(plug.Param(kIn)->UnitText(), "dB");
    EXPECT_EQ(plug.Param(kOut)->Min(), -20.0);
    EXPECT_EQ(plug.Param(kOut)->Max(), 20.0);
    plug.Param(kPower)->FormatValue(1.0, false, text);
    EXPECT_STREQ(text, "on");
    EXPECT_STREQ(plug.Param(kDualMono)->Name(), "Dual Mono");
}

TEST(Kestrom, SavedStateIsSevenDoublesAndThePresetHoldsTheDefaults) {
    Kestrom plug;
    IStateChunk state;
    ASSERT_TRUE(plug.SaveState(state));
    ASSERT_EQ(state.ByteCount(), 56);
    const double expected[] = {0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 7; ++i) {
        double v = -1;
        state.ReadDoubleAt(&v, i * 8);
        EXPECT_EQ(v, expected[i]);
    }
    ASSERT_EQ(plug.NPresets(), 1);
    EXPECT_STREQ(plug.SlotName(0), "-");
    EXPECT_EQ(plug.Preset(0)->state, state);

    IStateChunk shortState;
    shortState.Append(state.Bytes(), 48);
    plug.Param(kPower)->Set(1.0);
    EXPECT_EQ(plug.LoadState(shortState, 0), -1);
    EXPECT_EQ(plug.Param(kPower)->Value(), 0.0);
}

TEST(Kestrom, ParameterChangeAsksTheEditorToRedraw) {
    Kestrom plug;
    std::vector<double> needle;
    int dirty = 0;
    plug.AttachEditor(new NeedleRecorder(&needle, &dirty));
    plug.SetParameterFromGUI(kDeep, 1.0);
    EXPECT_EQ(plug.Param(kDeep)->Value(), 1.0);
    EXPECT_EQ(dirty, 1);
}

TEST(Kestrom, NeedleIsHandedOverOncePerBlockOnlyWithPowerOn) {
    Kestrom plug;
    std::vector<double> needle;
    int dirty = 0;
    plug.AttachEditor(new NeedleRecorder(&needle, &dirty));
    plug.ChangeSampleRate(48000);
    plug.HandleReset();
    std::vector<float> l(256), r(256);
    for (int block = 0; block < 8; ++block) {
        for (int i = 0; i < 256; ++i) l[i] = r[i] = 0.8f * std::sin(0.05f * (block * 256 + i));
        RunBlock(plug, l, r);
    }
    ASSERT_EQ(needle.size(), 8u);
    EXPECT_GT(needle.back(), 0.1);  // a loud tone is compressed
    EXPECT_LE(needle.back(), 1.0);
    plug.Param(kPower)->Set(0.0);
    RunBlock(plug, l, r);
    EXPECT_EQ(needle.size(), 8u);
}

TEST(Kestrom, MonoConfigurationWritesOnlyTheFirstOutput) {
    Kestrom plug;
    plug.ConnectIO(1, 1);
    plug.HandleReset();
    std::vector<float> in(64, 0.25f), out0(64, 7.0f);
    const float* ins[1] = {in.data()};
    float* outs[1] = {out0.data()};
    plug.ProcessHostBlock(ins, outs, 64);
    EXPECT_FALSE(plug.IsInputConnected(1));
    for (float v : out0) EXPECT_TRUE(std::isfinite(v));
    EXPECT_NE(out0[63], 7.0f);
}

// Infinities and NaNs from the host reach the compressor as zeros: every
// output sample stays finite, the output is exactly that of a plug-in given
// 0 in their place, and the plug-in counts them.
TEST(Kestrom, NonFiniteHostSamplesAreProcessedAsZerosAndCounted) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (bool mono : {false, true}) {
        Kestrom spoilt, zeroed;
        std::vector<float> outputs[2][2];
        for (int p = 0; p < 2; ++p) {
            Kestrom& plug = p == 0 ? spoilt : zeroed;
            if (mono) plug.ConnectIO(1, 1);
            plug.ChangeSampleRate(48000);
            plug.HandleReset();
            for (int block = 0; block < 6; ++block) {
                std::vector<float> l(256), r(256);
                for (int i = 0; i < 256; ++i) {
                    l[i] = 0.7f * std::sin(0.05f * static_cast<float>(block * 256 + i));
                    r[i] = 0.5f * std::sin(0.03f * static_cast<float>(block * 256 + i));
                }
                if (block == 2) l[100] = p == 0 ? nan : 0.0f;
                if (block == 3) (mono ? l : r)[255] = p == 0 ? -inf : 0.0f;
                if (block == 4) l[0] = p == 0 ? inf : 0.0f;
                RunBlock(plug, l, r);
                outputs[p][0].insert(outputs[p][0].end(), l.begin(), l.end());
                outputs[p][1].insert(outputs[p][1].end(), r.begin(), r.end());
            }
        }
        for (int c = 0; c < (mono ? 1 : 2); ++c) {
            for (float v : outputs[0][c]) ASSERT_TRUE(std::isfinite(v));
            EXPECT_EQ(std::memcmp(outputs[0][c].data(), outputs[1][c].data(), outputs[0][c].size() * sizeof(float)),
                      0)
                << (mono ? "mono" : "stereo") << " channel " << c;
        }
        EXPECT_EQ(spoilt.ReplacedInputSamples(), 3);
        EXPECT_EQ(zeroed.ReplacedInputSamples(), 0);
    }
}
