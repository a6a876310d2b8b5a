// Audio through the render routine: the master bypass passing the inputs
// through untouched, blocks longer than the largest block rendered in pieces
// inside the host's buffers, the frame count from the record or 32, records
// that are refused, in-place buffers, and the module's output compared bit for
// bit with the effect driven in-process at the same parameter values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "compressor/Kestrom.h"
#include "compressor/KestromParams.h"
#include "core/IPlugLock.h"
#include "graphics/IGraphics.h"
#include "tests/module/ModuleProcess.h"

namespace {

using namespace moduletest;

constexpr float kSentinel = -12345.5f;  // what no rendering writes
constexpr int kGuard = 16;              // sentinel samples on each side of a buffer

// One buffer per channel with guard samples before and after the frames.
class GuardedBuffers {
public:
    GuardedBuffers(int channels, int frames) : frames_(frames) {
        for (int c = 0; c < channels; ++c) storage_.emplace_back(static_cast<std::size_t>(frames + 2 * kGuard), kSentinel);
        for (auto& s : storage_) pointers_.push_back(s.data() + kGuard);
    }
    // Fills the frames with test music (channel c gets its own).
    void FillMusic(int offset = 0, uint32_t seed = 1) {
        for (std::size_t c = 0; c < storage_.size(); ++c) {
            const std::vector<float> music = Music(offset + frames_, static_cast<int>(c), seed);
            std::copy(music.begin() + offset, music.end(), pointers_[c]);
        }
    }
    float* const* Pointers() { return pointers_.data(); }
    const float* const* Inputs() const { return const_cast<const float* const*>(pointers_.data()); }
    std::vector<float> Frames(int c) const {
        return std::vector<float>(pointers_[static_cast<std::size_t>(c)], pointers_[static_cast<std::size_t>(c)] + frames_);
    }
    // Whether every guard sample still holds the sentinel, and every frame from
    // `from` on too.
    bool Untouched(int from) const {
        for (const auto& s : storage_) {
            for (int i = 0; i < kGuard; ++i)
                if (std::memcmp(&s[static_cast<std::size_t>(i)], &kSentinel, sizeof(float)) != 0) return false;
            for (std::size_t i = static_cast<std::size_t>(kGuard + from); i < s.size(); ++i)
                if (std::memcmp(&s[i], &kSentinel, sizeof(float)) != 0) return false;
        }
        return true;
    }
    int Channels() const { return static_cast<int>(storage_.size()); }
    int FrameCount() const { return frames_; }

private:
    int frames_;
    std::vector<std::vector<float>> storage_;
    std::vector<float*> pointers_;
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

bool AllFinite(const std::vector<float>& v) {
    for (float x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

// The effect in this process, set up and driven as a host drives it: rate,
// block size, connections and reset, then each block through the plug-in
// base's processing entry under the plug-in's lock.
class InProcessKestrom {
public:
    InProcessKestrom(double rate, int channels, int maxFrames) : channels_(channels) {
        plug_.ChangeSampleRate(rate);
        plug_.ChangeBlockSize(maxFrames);
        plug_.ConnectInputs(0, channels, true);
        plug_.ConnectOutputs(0, channels, true);
        plug_.ConnectInputs(channels, 2 - channels, false);
        plug_.ConnectOutputs(channels, 2 - channels, false);
        plug_.HandleReset();
    }
    void SetParameter(int index, double value) {
        IPlugLockGuard guard(plug_.Lock());
        plug_.Param(index)->Set(value);
        if (IPlugEditor* editor = plug_.Editor()) editor->SetParameterFromPlugin(index, plug_.Param(index)->Value(), false);
        plug_.HandleParamChange(index);
    }
    double Parameter(int index) const { return plug_.Param(index)->Value(); }
    void Render(const float* const* inputs, float* const* outputs, int frames) {
        IPlugLockGuard guard(plug_.Lock());
        plug_.AttachInputs(0, channels_, inputs, frames);
        plug_.AttachOutputs(0, channels_, outputs);
        plug_.RunBlock(frames);
    }
    IValueMailbox::Reading Meter() {
        const auto* editor = dynamic_cast<const IGraphics*>(plug_.Editor());
        return editor != nullptr ? editor->PeekDisplayValue(kestrom::kMeterIndex) : IValueMailbox::Reading{};
    }

private:
    Kestrom plug_;
    int channels_;
};

class ModuleRender : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override { ASSERT_TRUE(host.LoadAndOpen()); }
    int Channels() const { return GetParam() == kMono ? 1 : 2; }

    HostProcess host;
};

INSTANTIATE_TEST_SUITE_P(BothTypes, ModuleRender, ::testing::Values(kMono, kStereo),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return info.param == kMono ? std::string("Mono") : std::string("Stereo");
                         });

TEST_P(ModuleRender, TheMasterBypassPassesTheInputsThroughAndRunsNoCompressor) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    plug.SetNumber(kIn, 20);  // hard compression, were it running
    plug.SetNumber(kOut, 12);

    for (int way = 0; way < 2; ++way) {  // the host's bypass request, and the control itself
        SCOPED_TRACE(way == 0 ? "bypass request" : "bypass control");
        ASSERT_EQ(way == 0 ? plug.SetBypass(true) : plug.Set(kBypass, kOn), PI_NoErr);
        const uint32_t updates = plug.Meter().second;
        for (int block = 0; block < 4; ++block) {
            GuardedBuffers in(Channels(), 480), out(Channels(), 480);
            in.FillMusic(480 * block);
            ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 480), PI_NoErr);
            for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(SameBits(out.Frames(c), in.Frames(c))) << block << " " << c;
            EXPECT_TRUE(out.Untouched(480));
        }
        EXPECT_EQ(plug.Meter().second, updates);  // the compressor did not run

        ASSERT_EQ(way == 0 ? plug.SetBypass(false) : plug.Set(kBypass, kOff), PI_NoErr);
        GuardedBuffers in(Channels(), 480), out(Channels(), 480);
        in.FillMusic(2000);
        ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 480), PI_NoErr);
        EXPECT_FALSE(SameBits(out.Frames(0), in.Frames(0)));
        EXPECT_EQ(plug.Meter().second, updates + 1);
    }
}

TEST_P(ModuleRender, ABlockLongerThanTheLargestIsRenderedInPiecesInsideTheBuffers) {
    host.SetMaximumQuantum(64);
    Instance whole(host, GetParam()), pieces(host, GetParam());
    ASSERT_TRUE(whole.Ok() && pieces.Ok());
    ASSERT_EQ(whole.MaxBlock(), 64);
    for (const Instance* p : {&whole, &pieces}) {
        p->SetNumber(kIn, 9.5);
        p->SetNumber(kRelaxed, 1);
    }
    for (int frames : {200, 64 * 5, 1000, 65}) {
        SCOPED_TRACE(frames);
        GuardedBuffers in(Channels(), frames), out(Channels(), frames);
        in.FillMusic(0, static_cast<uint32_t>(frames));
        ASSERT_EQ(whole.Render(in.Inputs(), out.Pointers(), frames), PI_NoErr);
        EXPECT_TRUE(out.Untouched(frames));
        EXPECT_TRUE(in.Untouched(frames));

        // The same frames in blocks that fit, on an instance in the same state.
        GuardedBuffers expected(Channels(), frames);
        for (int offset = 0; offset < frames; offset += 64) {
            const int n = std::min(64, frames - offset);
            const float* inputs[2] = {in.Inputs()[0] + offset, in.Inputs()[Channels() - 1] + offset};
            float* outputs[2] = {expected.Pointers()[0] + offset, expected.Pointers()[Channels() - 1] + offset};
            ASSERT_EQ(pieces.Render(inputs, outputs, n), PI_NoErr);
        }
        for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(SameBits(out.Frames(c), expected.Frames(c))) << c;
    }

    // Bypassed, a long block still comes through whole.
    ASSERT_EQ(whole.SetBypass(true), PI_NoErr);
    GuardedBuffers in(Channels(), 300), out(Channels(), 300);
    in.FillMusic();
    ASSERT_EQ(whole.Render(in.Inputs(), out.Pointers(), 300), PI_NoErr);
    for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(SameBits(out.Frames(c), in.Frames(c))) << c;
    EXPECT_TRUE(out.Untouched(300));
}

TEST_P(ModuleRender, ARecordWithoutAFrameCountRenders32Frames) {
    Instance plug(host, GetParam()), reference(host, GetParam());
    ASSERT_TRUE(plug.Ok() && reference.Ok());
    GuardedBuffers in(Channels(), 500), out(Channels(), 500), expected(Channels(), 32);
    in.FillMusic();
    float* outputs[2] = {out.Pointers()[0], out.Pointers()[Channels() - 1]};
    const PI_RenderRecord record{in.Inputs(), Channels(), outputs, Channels(), 500, 0, nullptr};
    ASSERT_EQ(plug.Routine<PI_RenderProc>(PI_SEL_RENDER)(plug.handle, &record), PI_NoErr);
    EXPECT_TRUE(out.Untouched(32));  // nothing past the 32 frames

    ASSERT_EQ(reference.Render(in.Inputs(), expected.Pointers(), 32), PI_NoErr);
    for (int c = 0; c < Channels(); ++c) {
        const std::vector<float> got = out.Frames(c);
        EXPECT_TRUE(SameBits(std::vector<float>(got.begin(), got.begin() + 32), expected.Frames(c))) << c;
    }
}

TEST_P(ModuleRender, RefusedRecordsRenderNothing) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    const auto render = plug.Routine<PI_RenderProc>(PI_SEL_RENDER);
    GuardedBuffers in(Channels(), 64), out(Channels(), 64);
    in.FillMusic();
    const int n = Channels();
    float* outs[2] = {out.Pointers()[0], out.Pointers()[n - 1]};
    const float* withNull[2] = {nullptr, nullptr};
    float* outsWithNull[2] = {n == 1 ? nullptr : outs[0], nullptr};
    const uint32_t updates = plug.Meter().second;
    const struct {
        const char* what;
        PI_RenderRecord record;
        PI_Status status;
    } cases[] = {
        {"negative frames", {in.Inputs(), n, outs, n, -1, 1, nullptr}, PI_ErrBadValue},
        {"most negative frames", {in.Inputs(), n, outs, n, INT32_MIN, 1, nullptr}, PI_ErrBadValue},
        {"an input missing", {in.Inputs(), n - 1, outs, n, 64, 1, nullptr}, PI_ErrBadValue},
        {"an output missing", {in.Inputs(), n, outs, n - 1, 64, 1, nullptr}, PI_ErrBadValue},
        {"no input list", {nullptr, n, outs, n, 64, 1, nullptr}, PI_ErrNullPointer},
        {"no output list", {in.Inputs(), n, nullptr, n, 64, 1, nullptr}, PI_ErrNullPointer},
        {"a null input", {withNull, n, outs, n, 64, 1, nullptr}, PI_ErrNullPointer},
        {"a null output", {in.Inputs(), n, outsWithNull, n, 64, 1, nullptr}, PI_ErrNullPointer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(render(plug.handle, &c.record), c.status) << c.what;
        EXPECT_TRUE(out.Untouched(0)) << c.what;
    }
    EXPECT_EQ(render(plug.handle, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(render(plug.handle + 1000, nullptr), PI_ErrBadInstance);
    EXPECT_EQ(plug.Meter().second, updates);

    // No frames is a block too, of nothing.
    const PI_RenderRecord empty{in.Inputs(), n, outs, n, 0, 1, nullptr};
    EXPECT_EQ(render(plug.handle, &empty), PI_NoErr);
    EXPECT_TRUE(out.Untouched(0));
    EXPECT_TRUE(in.Untouched(64));
}

TEST_P(ModuleRender, InPlaceBuffersRenderAsSeparateOnes) {
    host.SetMaximumQuantum(128);
    Instance separate(host, GetParam()), inPlace(host, GetParam());
    ASSERT_TRUE(separate.Ok() && inPlace.Ok());
    for (const Instance* p : {&separate, &inPlace}) {
        p->SetNumber(kIn, 14);
        p->SetNumber(kDeep, 1);
    }
    int offset = 0;
    for (int frames : {128, 100, 300, 1, 128}) {  // 300 goes in pieces
        SCOPED_TRACE(frames);
        GuardedBuffers in(Channels(), frames), out(Channels(), frames), shared(Channels(), frames);
        in.FillMusic(offset);
        shared.FillMusic(offset);
        offset += frames;
        ASSERT_EQ(separate.Render(in.Inputs(), out.Pointers(), frames), PI_NoErr);
        ASSERT_EQ(inPlace.Render(shared.Inputs(), shared.Pointers(), frames), PI_NoErr);
        for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(SameBits(shared.Frames(c), out.Frames(c))) << c;
        EXPECT_TRUE(shared.Untouched(frames));
    }
}

TEST_P(ModuleRender, InputsThatAreNoNumbersGiveFiniteOutputs) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    plug.SetNumber(kIn, 12);
    GuardedBuffers in(Channels(), 256), out(Channels(), 256);
    in.FillMusic(20000);
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(), 3e38f, -3e38f};
    for (int c = 0; c < Channels(); ++c)
        for (int i = 0; i < 5; ++i) in.Pointers()[c][10 + 37 * i] = specials[i];
    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 256), PI_NoErr);
        for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(AllFinite(out.Frames(c))) << block << " " << c;
    }
    const auto meter = plug.Meter();
    EXPECT_TRUE(std::isfinite(meter.first));
}

// One setting of the seven parameters, in the controls' units.
struct Setting {
    const char* name;
    double values[kParamCount];
};

TEST_P(ModuleRender, TheModuleSoundsExactlyLikeTheEffectDrivenInProcess) {
    const Setting settings[] = {
        {"defaults", {0, 0, 0, 0, 0, 0, 1}},
        {"driven", {12.3, -4.7, 0, 0, 0, 0, 1}},
        {"deep relaxed", {17.1, 3.3, 1, 1, 0, 0, 1}},
        {"dual mono negative", {8.8, -1.2, 0, 0, 1, 1, 1}},
        {"everything", {19.95, -19.95, 1, 1, 1, 1, 1}},
        {"power off", {10, 5, 1, 0, 1, 0, 0}},
    };
    const int blocks[] = {512, 100, 1024, 7, 333, 1024, 1, 640};
    for (int32_t rate : {44100, 96000}) {
        for (const Setting& s : settings) {
            SCOPED_TRACE(std::string(s.name) + " at " + std::to_string(rate));
            Instance module(host, GetParam(), rate);
            ASSERT_TRUE(module.Ok());
            const int maxBlock = module.MaxBlock();
            ASSERT_GE(maxBlock, 1024);
            for (int i = 0; i < kParamCount; ++i) module.SetNumber(i + 2, s.values[i]);

            // The in-process effect gets exactly what the module's parameters
            // hold, as the saved state shows them; each is a value its control
            // stands for.
            InProcessKestrom local(rate, Channels(), maxBlock);
            const std::vector<double> state = StateValues(module.Chunk());
            for (int i = 0; i < kParamCount; ++i) {
                const double value = state[static_cast<std::size_t>(i)];
                EXPECT_EQ(module.FromNumber(i + 2, value), module.Value(i + 2)) << i;
                EXPECT_NEAR(value, s.values[i], 1e-8) << i;
                local.SetParameter(i, value);
            }

            int offset = 0;
            for (std::size_t b = 0; b < sizeof blocks / sizeof blocks[0]; ++b) {
                const int frames = blocks[b];
                if (b == 4) {  // a change between blocks, on both
                    module.SetNumber(kIn, s.values[0] - 6.5);
                    local.SetParameter(0, StateValues(module.Chunk())[0]);
                    EXPECT_EQ(local.Parameter(0), module.Number(kIn));
                }
                GuardedBuffers in(Channels(), frames), out(Channels(), frames), expected(Channels(), frames);
                in.FillMusic(offset, 7);
                offset += frames;
                ASSERT_EQ(module.Render(in.Inputs(), out.Pointers(), frames), PI_NoErr);
                local.Render(in.Inputs(), expected.Pointers(), frames);
                for (int c = 0; c < Channels(); ++c)
                    EXPECT_TRUE(SameBits(out.Frames(c), expected.Frames(c))) << "block " << b << " channel " << c;
                EXPECT_TRUE(out.Untouched(frames));
                const auto meter = module.Meter();
                const IValueMailbox::Reading localMeter = local.Meter();
                EXPECT_EQ(meter.first, localMeter.value) << "block " << b;
                EXPECT_EQ(meter.second, static_cast<uint32_t>(localMeter.posts)) << "block " << b;
            }
        }
    }
}

TEST_P(ModuleRender, ARestoredStateSoundsLikeTheStateItSaved) {
    Instance saver(host, GetParam()), restorer(host, GetParam());
    ASSERT_TRUE(saver.Ok() && restorer.Ok());
    const double values[kParamCount] = {11.1, 2.2, 1, 0, 1, 0, 1};
    for (int i = 0; i < kParamCount; ++i) saver.SetNumber(i + 2, values[i]);
    ASSERT_EQ(restorer.Restore(saver.Chunk()), PI_NoErr);
    for (int block = 0; block < 4; ++block) {
        GuardedBuffers in(Channels(), 700), a(Channels(), 700), b(Channels(), 700);
        in.FillMusic(700 * block, 3);
        ASSERT_EQ(saver.Render(in.Inputs(), a.Pointers(), 700), PI_NoErr);
        ASSERT_EQ(restorer.Render(in.Inputs(), b.Pointers(), 700), PI_NoErr);
        for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(SameBits(a.Frames(c), b.Frames(c))) << block << " " << c;
    }
}

TEST_P(ModuleRender, ASideChainTakesOneInputMore) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    const auto sideChain = plug.Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SIDE_CHAIN);
    const auto render = plug.Routine<PI_RenderProc>(PI_SEL_RENDER);
    GuardedBuffers in(Channels() + 1, 256), out(Channels(), 256);
    in.FillMusic();
    float* outs[2] = {out.Pointers()[0], out.Pointers()[Channels() - 1]};
    const PI_RenderRecord channelsOnly{in.Inputs(), Channels(), outs, Channels(), 256, 1, nullptr};
    const PI_RenderRecord withSideChain{in.Inputs(), Channels() + 1, outs, Channels(), 256, 1, nullptr};

    ASSERT_EQ(sideChain(plug.handle, 1), PI_NoErr);
    EXPECT_EQ(render(plug.handle, &channelsOnly), PI_ErrBadValue);
    EXPECT_TRUE(out.Untouched(0));
    EXPECT_EQ(render(plug.handle, &withSideChain), PI_NoErr);
    for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(AllFinite(out.Frames(c)));
    EXPECT_TRUE(out.Untouched(256));
    ASSERT_EQ(sideChain(plug.handle, 0), PI_NoErr);
    EXPECT_EQ(render(plug.handle, &channelsOnly), PI_NoErr);
}

TEST_P(ModuleRender, AnySampleRateTheHostGivesRendersFiniteAudio) {
    for (int32_t rate : {1, 2, 100, 8000, 22050, 192000, 768000, 100000000, INT32_MAX}) {
        SCOPED_TRACE(rate);
        for (bool later : {false, true}) {  // given at initialisation, or changed afterwards
            Instance plug(host, GetParam(), later ? 48000 : rate);
            ASSERT_TRUE(plug.Ok());
            if (later) {
                ASSERT_EQ(plug.Routine<PI_InstanceSetIntProc>(PI_SEL_SET_SAMPLE_RATE)(plug.handle, rate), PI_NoErr);
            }
            plug.SetNumber(kIn, 20);
            plug.SetNumber(kDeep, 1);
            for (int block = 0; block < 4; ++block) {
                GuardedBuffers in(Channels(), 512), out(Channels(), 512);
                in.FillMusic(512 * block);
                ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 512), PI_NoErr);
                for (int c = 0; c < Channels(); ++c) EXPECT_TRUE(AllFinite(out.Frames(c))) << block << " " << c;
            }
            EXPECT_TRUE(std::isfinite(plug.Meter().first));
        }
    }
}

// ---- Meters ---------------------------------------------------------------------

TEST_P(ModuleRender, TheMeterIsHandedOneValuePerBlockWhileThePowerIsOn) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    int32_t count = 0;
    ASSERT_EQ(plug.Routine<PI_InstanceGetIntProc>(PI_SEL_METER_COUNT)(plug.handle, &count), PI_NoErr);
    EXPECT_EQ(count, 1);
    plug.SetNumber(kIn, 20);

    uint32_t updates = plug.Meter().second;
    int offset = 0;
    for (int block = 0; block < 6; ++block) {
        GuardedBuffers in(Channels(), 512), out(Channels(), 512);
        in.FillMusic(offset);
        offset += 512;
        ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 512), PI_NoErr);
        const auto meter = plug.Meter();
        EXPECT_EQ(meter.second, updates + 1) << block;
        EXPECT_GE(meter.first, 0.0);
        EXPECT_LE(meter.first, 1.0);
        updates = meter.second;
    }
    EXPECT_GT(plug.Meter().first, 0.0);  // loud music at full drive is reduced

    plug.SetNumber(kPower, 0);
    const auto off = plug.Meter();
    for (int block = 0; block < 3; ++block) {
        GuardedBuffers in(Channels(), 512), out(Channels(), 512);
        in.FillMusic(offset);
        offset += 512;
        ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 512), PI_NoErr);
        EXPECT_EQ(plug.Meter(), off) << block;  // left alone
    }

    plug.SetNumber(kPower, 1);
    GuardedBuffers in(Channels(), 512), out(Channels(), 512);
    in.FillMusic(offset);
    ASSERT_EQ(plug.Render(in.Inputs(), out.Pointers(), 512), PI_NoErr);
    EXPECT_EQ(plug.Meter().second, off.second + 1);
}

TEST_P(ModuleRender, AHostMayPreviewAMeterValueButOnlyOnTheMeterThatExists) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    const auto show = plug.Routine<PI_ShowMeterValueProc>(PI_SEL_SHOW_METER_VALUE);
    const auto read = plug.Routine<PI_MeterValueProc>(PI_SEL_METER_VALUE);
    const auto before = plug.Meter();
    EXPECT_EQ(show(plug.handle, 0, 0.25), PI_NoErr);
    EXPECT_EQ(plug.Meter(), std::make_pair(0.25, before.second + 1));
    for (int32_t meter : {1, -1, 100}) {
        double value = -5;
        uint32_t updates = 5;
        EXPECT_EQ(show(plug.handle, meter, 0.5), PI_ErrBadIndex) << meter;
        EXPECT_EQ(read(plug.handle, meter, &value, &updates), PI_ErrBadIndex) << meter;
        EXPECT_EQ(value, -5);
        EXPECT_EQ(updates, 5u);
    }
    EXPECT_EQ(plug.Meter(), std::make_pair(0.25, before.second + 1));
}

}  // namespace
