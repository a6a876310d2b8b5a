#include "core/IPlugBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "TestPlugin.h"

namespace {

// Runs one host block of float buffers through the processing entry, as a host does.
void RunHostBlock(IPlugBase& plug, const std::vector<const float*>& in, const std::vector<float*>& out,
                  int frames, bool bypassed = false) {
    IPlugLockGuard guard(plug.Lock());
    plug.AttachInputs(0, plug.NInChannels(), in.data(), frames);
    plug.AttachOutputs(0, plug.NOutChannels(), out.data());
    if (bypassed)
        plug.RunBypassed(frames);
    else
        plug.RunBlock(frames);
}

// Sizes the buffers and connects both inputs and both outputs.
void ConnectStereo(IPlugBase& plug, int blockSize) {
    plug.ChangeBlockSize(blockSize);
    plug.ConnectInputs(0, 2, true);
    plug.ConnectOutputs(0, 2, true);
}

// Doubles every input into its output and remembers what it was given.
class Doubler : public TestPlugin {
public:
    void ProcessBlock(double** inputs, double** outputs, int frames) override {
        seenFrames.push_back(frames);
        for (int c = 0; c < NOutChannels(); ++c)
            for (int n = 0; n < frames; ++n) outputs[c][n] = 2.0 * inputs[c < NInChannels() ? c : 0][n];
        lastInputs = {inputs[0][0], inputs[1][0]};
    }
    std::vector<int> seenFrames;
    std::vector<double> lastInputs;
};

// Records the doubles each input channel brings and writes a given pattern
// of doubles to each output: output c, frame n of the whole host block gets
// pattern[(n + 5 * c) % size].
class Converter : public TestPlugin {
public:
    explicit Converter(std::vector<double> outputPattern) : pattern(std::move(outputPattern)) {}
    void ProcessBlock(double** inputs, double** outputs, int frames) override {
        for (int c = 0; c < 2; ++c) {
            received[c].insert(received[c].end(), inputs[c], inputs[c] + frames);
            for (int n = 0; n < frames; ++n)
                outputs[c][n] = pattern[(written + static_cast<std::size_t>(n + 5 * c)) % pattern.size()];
        }
        written += static_cast<std::size_t>(frames);
    }
    std::vector<double> pattern;
    std::vector<double> received[2];
    std::size_t written = 0;
};

template <typename T>
bool SameBits(T a, T b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

double Pow2(int e) { return std::ldexp(1.0, e); }

}  // namespace

TEST(IChannelConfig, ParsesPairsSeparatedByBlanks) {
    const auto configs = IChannelConfig::Parse("1-1 2-2");
    ASSERT_EQ(configs.size(), 2u);
    EXPECT_EQ(configs[0].nIn, 1);
    EXPECT_EQ(configs[1].nOut, 2);

    const auto trailing = IChannelConfig::Parse("1-2 ");
    ASSERT_EQ(trailing.size(), 2u);
    EXPECT_EQ(trailing[1].nIn, 0);
    EXPECT_EQ(trailing[1].nOut, 0);

    const auto partial = IChannelConfig::Parse("3-x");
    ASSERT_EQ(partial.size(), 1u);
    EXPECT_EQ(partial[0].nIn, 3);
    EXPECT_EQ(partial[0].nOut, 0);
}

TEST(IPlugBase, ChannelsFollowTheLargestConfiguration) {
    TestPlugin plug(1, "1-1 2-2 1-4");
    EXPECT_EQ(plug.NInChannels(), 2);
    EXPECT_EQ(plug.NOutChannels(), 4);
    EXPECT_FALSE(plug.IsInputConnected(0));
    EXPECT_FALSE(plug.IsInputConnected(7));
    EXPECT_FALSE(plug.IsInputConnected(-1));
}

TEST(IPlugBase, LegalIOMatchesAnyConfigurationWithWildcards) {
    TestPlugin plug;
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(1, 1));
    EXPECT_TRUE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(-1, -1));
    EXPECT_FALSE(plug.LegalIO(1, 2));
    EXPECT_FALSE(plug.LegalIO(3, -1));
}

TEST(IPlugBase, ConstructionDefaults) {
    TestPlugin plug(3, "1-1", 2);
    EXPECT_EQ(plug.NParams(), 3);
    EXPECT_EQ(plug.Param(3), nullptr);
    EXPECT_EQ(plug.Param(-1), nullptr);
    EXPECT_EQ(plug.NPresets(), 2);
    EXPECT_STREQ(plug.SlotName(0), "empty");
    EXPECT_EQ(plug.SampleRate(), 44100.0);
    EXPECT_EQ(plug.BlockSize(), 0);
    EXPECT_EQ(plug.HostKind(), -1);
    EXPECT_STREQ(plug.Title(), "Test");
}

TEST(IPlugBase, RunBlockPassesConnectedChannelsThroughByDefault) {
    TestPlugin plug;
    ConnectStereo(plug, 4);
    std::vector<float> l = {1, 2, 3, 4}, r = {-1, -2, -3, -4}, outL(4, 9), outR(4, 9);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 4);
    EXPECT_EQ(outL, l);
    EXPECT_EQ(outR, r);
}

TEST(IPlugBase, OutputWithoutInputIsZeroed) {
    TestPlugin plug(0, "1-2");
    plug.ChangeBlockSize(3);
    plug.ConnectInputs(0, 1, true);
    plug.ConnectOutputs(0, 2, true);
    std::vector<float> in = {0.5f, 0.25f, 0.125f}, out1(3, 9), out2(3, 9);
    RunHostBlock(plug, {in.data()}, {out1.data(), out2.data()}, 3);
    EXPECT_EQ(out1, in);
    EXPECT_EQ(out2, std::vector<float>(3, 0.0f));
}

TEST(IPlugBase, HostBuffersAreConsumedOnlyByConnectedChannels) {
    Doubler plug;
    plug.ChangeBlockSize(2);
    plug.ConnectInputs(0, 2, true);
    plug.ConnectInputs(0, 1, false);  // only input 1 connected
    plug.ConnectOutputs(0, 2, true);
    std::vector<float> only = {7, 8}, outL(2), outR(2);
    RunHostBlock(plug, {only.data()}, {outL.data(), outR.data()}, 2);
    // Input 0 is unconnected: its scratch is zero. Input 1 took the first host buffer.
    EXPECT_EQ(plug.lastInputs[0], 0.0);
    EXPECT_EQ(plug.lastInputs[1], 7.0);
    EXPECT_EQ(outR, (std::vector<float>{14, 16}));
}

TEST(IPlugBase, DisconnectedInputPresentsItsLastSamplesUntilCleared) {
    Doubler plug;
    ConnectStereo(plug, 2);
    std::vector<float> l = {1, 1}, r = {3, 3}, outL(2), outR(2);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 2);
    plug.ConnectInputs(1, 1, false);
    RunHostBlock(plug, {l.data()}, {outL.data(), outR.data()}, 2);
    EXPECT_EQ(plug.lastInputs[1], 3.0);
    plug.ClearScratch();
    RunHostBlock(plug, {l.data()}, {outL.data(), outR.data()}, 2);
    EXPECT_EQ(plug.lastInputs[1], 0.0);
}

TEST(IPlugBase, ConnectedInputOutsideTheAttachedRangeKeepsItsLastBlock) {
    Doubler plug;
    ConnectStereo(plug, 2);
    std::vector<float> l = {1, 1, 1, 1}, r = {3, 3}, outL(4), outR(4);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 2);
    r = {5, 5};  // the host reuses its buffer for something else
    // Blocks that attach input 0 only, one that fits the buffers and one that
    // runs in pieces: input 1 presents the samples of the last block it got.
    for (int frames : {2, 4}) {
        IPlugLockGuard guard(plug.Lock());
        const float* in[] = {l.data()};
        float* out[] = {outL.data(), outR.data()};
        plug.AttachInputs(0, 1, in, frames);
        plug.AttachOutputs(0, 2, out);
        plug.RunBlock(frames);
        EXPECT_EQ(plug.lastInputs[0], 1.0) << frames;
        EXPECT_EQ(plug.lastInputs[1], 3.0) << frames;
    }
}

TEST(IPlugBase, UnconnectedOutputsAreNotWritten) {
    TestPlugin plug;
    plug.ChangeBlockSize(2);
    plug.ConnectInputs(0, 2, true);
    plug.ConnectOutputs(0, 1, true);
    std::vector<float> l = {1, 2}, r = {3, 4}, outL(2, 9);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data()}, 2);
    EXPECT_EQ(outL, l);
}

TEST(IPlugBase, OutputOutsideTheAttachedRangeNeverWritesAnEarlierBlocksBuffer) {
    TestPlugin plug;
    ConnectStereo(plug, 2);
    std::vector<float> l = {1, 2}, r = {3, 4}, outL(2), outR(2);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 2);
    EXPECT_EQ(outR, r);
    std::fill(outR.begin(), outR.end(), 9.0f);  // the host reuses or frees that buffer
    {
        IPlugLockGuard guard(plug.Lock());
        const float* in[] = {l.data(), r.data()};
        float* out[] = {outL.data()};
        plug.AttachInputs(0, 2, in, 2);
        plug.AttachOutputs(0, 1, out);
        plug.RunBlock(2);
    }
    EXPECT_EQ(outL, l);
    EXPECT_EQ(outR, std::vector<float>(2, 9.0f));
}

TEST(IPlugBase, ChangeBlockSizeKeepsContentsOnlyWhenUnchanged) {
    Doubler plug;
    ConnectStereo(plug, 2);
    std::vector<float> l = {1, 1}, r = {3, 3}, outL(2), outR(2);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 2);
    plug.ConnectInputs(1, 1, false);
    plug.ChangeBlockSize(2);
    RunHostBlock(plug, {l.data()}, {outL.data(), outR.data()}, 2);
    EXPECT_EQ(plug.lastInputs[1], 3.0);
    plug.ChangeBlockSize(4);
    RunHostBlock(plug, {l.data()}, {outL.data(), outR.data()}, 2);
    EXPECT_EQ(plug.lastInputs[1], 0.0);
}

TEST(IPlugBase, BlockLongerThanAnnouncedRunsInPiecesWithoutOverrun) {
    Doubler plug;
    ConnectStereo(plug, 4);
    std::vector<float> l(10), r(10), outL(10), outR(10);
    for (int i = 0; i < 10; ++i) l[i] = r[i] = static_cast<float>(i);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 10);
    EXPECT_EQ(plug.seenFrames, (std::vector<int>{4, 4, 2}));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(outL[i], 2.0f * i);
}

TEST(IPlugBase, BlockBeforeAnyBlockSizeGivesSilence) {
    Doubler plug;
    plug.ConnectInputs(0, 2, true);
    plug.ConnectOutputs(0, 2, true);
    std::vector<float> l(3, 1), r(3, 1), outL(3, 9), outR(3, 9);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 3);
    EXPECT_TRUE(plug.seenFrames.empty());
    EXPECT_EQ(outL, std::vector<float>(3, 0.0f));
}

TEST(IPlugBase, BypassWithoutLatencyIsPassThroughNotTheEffect) {
    Doubler plug;
    ConnectStereo(plug, 3);
    std::vector<float> l = {1, 2, 3}, r = {4, 5, 6}, outL(3), outR(3);
    RunHostBlock(plug, {l.data(), r.data()}, {outL.data(), outR.data()}, 3, true);
    EXPECT_TRUE(plug.seenFrames.empty());
    EXPECT_EQ(outL, l);
    EXPECT_EQ(outR, r);
}

TEST(IPlugBase, BypassWithLatencyDelaysEachChannelAcrossBlocks) {
    TestPlugin plug(0, "2-2", 0, 3);
    plug.CreateLatencyDelay();
    ConnectStereo(plug, 4);
    std::vector<float> outL(8), outR(8);
    for (int block = 0; block < 2; ++block) {
        std::vector<float> l(4), r(4);
        for (int i = 0; i < 4; ++i) {
            l[i] = static_cast<float>(1 + block * 4 + i);
            r[i] = -l[i];
        }
        RunHostBlock(plug, {l.data(), r.data()}, {outL.data() + block * 4, outR.data() + block * 4}, 4, true);
    }
    EXPECT_EQ(outL, (std::vector<float>{0, 0, 0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(outR, (std::vector<float>{0, 0, 0, -1, -2, -3, -4, -5}));

    plug.ChangeLatency(1);
    std::vector<float> l = {9, 8}, r = {7, 6}, oL(2), oR(2);
    RunHostBlock(plug, {l.data(), r.data()}, {oL.data(), oR.data()}, 2, true);
    EXPECT_EQ(oL, (std::vector<float>{0, 9}));
}

TEST(IPlugBase, SetParameterFromGUISetsTellsHostAndNotifies) {
    TestPlugin plug(2);
    plug.Param(1)->DefineList("Mode", 0, 3);
    plug.SetParameterFromGUI(1, 0.75);
    EXPECT_EQ(plug.Param(1)->Value(), 2.0);
    ASSERT_EQ(plug.toldHost.size(), 1u);
    EXPECT_EQ(plug.toldHost[0].index, 1);
    EXPECT_EQ(plug.toldHost[0].value, 0.75);
    EXPECT_EQ(plug.changed, std::vector<int>{1});

    plug.SetParameterFromGUI(9, 0.5);  // no such parameter: ignored
    EXPECT_EQ(plug.toldHost.size(), 1u);
}

TEST(IPlugBase, AttachEditorPushesNormalisedValuesThenCreatesBuffers) {
    TestPlugin plug(2);
    plug.Param(0)->DefineContinuous("Gain", 10.0, -20.0, 20.0, 0.1);
    plug.Param(1)->DefineSwitch("On", true);
    std::vector<RecordingEditor::Push> pushes;
    int buffers = 0;
    plug.AttachEditor(new RecordingEditor(&pushes, &buffers));
    ASSERT_EQ(pushes.size(), 2u);
    EXPECT_EQ(pushes[0].value, 0.75);
    EXPECT_TRUE(pushes[0].normalised);
    EXPECT_EQ(buffers, 1);
    ASSERT_NE(plug.Editor(), nullptr);

    pushes.clear();
    plug.RefreshEditorControls();
    ASSERT_EQ(pushes.size(), 2u);
    EXPECT_EQ(pushes[0].value, 10.0);
    EXPECT_FALSE(pushes[0].normalised);
    EXPECT_EQ(pushes[1].value, 1.0);
}

TEST(IPlugBase, LockIsRecursive) {
    TestPlugin plug;
    IPlugLockGuard outer(plug.Lock());
    IPlugLockGuard inner(plug.Lock());
    plug.HandleReset();  // takes the lock a third time
    SUCCEED();
}

TEST(IPlugBase, IncomingMidiIsForwardedToTheHost) {
    TestPlugin plug;
    IMidiEvent e;
    e.MakeNoteOn(60, 100, 5);
    plug.HandleMidiEvent(e);
    ASSERT_EQ(plug.sentMidi.size(), 1u);
    EXPECT_EQ(plug.sentMidi[0].NoteNumber(), 60);
}

// The host's floats reach the effect widened exactly, and the effect's
// doubles reach the host rounded to the nearest float (ties to even), over
// block lengths around the conversion's groups of eight, both channels, and
// blocks longer than announced (converted piece by piece at an offset).
TEST(IPlugBase, ConversionsWidenExactlyAndRoundToNearest) {
    using F = std::numeric_limits<float>;
    const float floats[] = {0.0f, -0.0f, F::denorm_min(), -F::denorm_min(), F::min() - F::denorm_min(),
                            F::min(), 1.0f, -0.1f, 3.0e38f, F::max(), -F::max(), F::infinity(),
                            -F::infinity(), 1.0f + F::epsilon(), 0.3333333f, -7.5e-39f};
    const std::size_t nFloats = sizeof floats / sizeof floats[0];
    // Doubles and the floats they must round to.
    struct Rounding {
        double in;
        float out;
    };
    const Rounding roundings[] = {
        {1.0 + Pow2(-24), 1.0f},                                // tie, to the even 1
        {1.0 + 3.0 * Pow2(-24), 1.0f + 2.0f * F::epsilon()},    // tie, to the even neighbour above
        {1.0 + Pow2(-24) + Pow2(-50), 1.0f + F::epsilon()},     // just past the tie
        {-(1.0 + Pow2(-24) - Pow2(-50)), -1.0f},                // just short of it
        {1e300, F::infinity()},
        {-1e300, -F::infinity()},
        {static_cast<double>(F::max()) + Pow2(127 - 24) * 0.99, F::max()},  // below the overflow tie
        {Pow2(-150), 0.0f},                                     // half the smallest subnormal: to 0
        {3.0 * Pow2(-150), 2.0f * F::denorm_min()},             // one and a half of it: to the even 2
        {-Pow2(-160), -0.0f},
        {0.1, 0.1f},
        {-0.0, -0.0f},
        {std::numeric_limits<double>::infinity(), F::infinity()},
    };
    std::vector<double> pattern;
    for (const Rounding& r : roundings) pattern.push_back(r.in);
    const std::size_t nPattern = pattern.size();

    for (int announced : {64, 13}) {
        for (int frames = 0; frames <= 40; ++frames) {
            Converter plug(pattern);
            ConnectStereo(plug, announced);
            std::vector<float> in[2], out[2];
            for (int c = 0; c < 2; ++c) {
                for (int n = 0; n < frames; ++n) in[c].push_back(floats[(n + 3 * c) % nFloats]);
                out[c].assign(static_cast<std::size_t>(frames) + 1, 9.0f);  // one guard value
            }
            RunHostBlock(plug, {in[0].data(), in[1].data()}, {out[0].data(), out[1].data()}, frames);
            for (int c = 0; c < 2; ++c) {
                ASSERT_EQ(plug.received[c].size(), static_cast<std::size_t>(frames));
                for (int n = 0; n < frames; ++n) {
                    ASSERT_TRUE(SameBits(plug.received[c][n], static_cast<double>(in[c][n])))
                        << announced << "/" << frames << " input " << c << " frame " << n;
                    ASSERT_TRUE(SameBits(out[c][n], roundings[(n + 5 * c) % nPattern].out))
                        << announced << "/" << frames << " output " << c << " frame " << n << ": " << out[c][n];
                }
                ASSERT_EQ(out[c][frames], 9.0f) << "written past the block";
            }
        }
    }
}
