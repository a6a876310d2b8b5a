#include "hostlib/CEffectProcessRTAS.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestModule.h"

using namespace hostlib_test;

namespace {

using Render = ModuleTest;

// A host's buffers for one block: inputs filled with 1, 2, 3, ... per channel,
// outputs and fallbacks with markers, all larger than any block rendered here.
struct Block {
    static constexpr int kFrames = 64;
    explicit Block(int channels)
        : in(static_cast<std::size_t>(channels + 1), std::vector<float>(kFrames)),
          out(static_cast<std::size_t>(channels), std::vector<float>(kFrames, -7.0f)),
          fallback(static_cast<std::size_t>(channels), std::vector<float>(kFrames, 0.0f)) {
        for (std::size_t c = 0; c < in.size(); ++c) {
            for (int i = 0; i < kFrames; ++i) in[c][static_cast<std::size_t>(i)] = static_cast<float>(c + 1);
            inputs.push_back(in[c].data());
        }
        for (std::size_t c = 0; c < out.size(); ++c) {
            outputs.push_back(out[c].data());
            fallbacks.push_back(fallback[c].data());
        }
    }
    PI_RenderRecord Record(int32_t frames, int32_t hasFrames, bool withFallback = true) {
        return PI_RenderRecord{inputs.data(), static_cast<int32_t>(inputs.size()), outputs.data(),
                               static_cast<int32_t>(outputs.size()), frames, hasFrames,
                               withFallback ? fallbacks.data() : nullptr};
    }
    std::vector<std::vector<float>> in, out, fallback;
    std::vector<const float*> inputs;
    std::vector<float*> outputs, fallbacks;
};

}  // namespace

TEST(CEffectProcessRTAS, TheBridgeShapedProcessHasOneHostLibraryProcess) {
    TestProcess process;
    CEffectProcess* throughInterface = static_cast<TestProcessBase*>(&process);
    CEffectProcess* throughRealtime = static_cast<CEffectProcessRTAS*>(&process);
    EXPECT_EQ(throughInterface, throughRealtime);
    EXPECT_EQ(dynamic_cast<TestInterface*>(throughRealtime), static_cast<TestInterface*>(&process));
}

TEST_F(Render, FramesComeFromTheRecordWhenItsFlagIsSetElse32) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    ASSERT_EQ(host.setValue(instance, kGain, CPluginControl_Linear(0, "", 0.0, 2.0, 0.01, 1.0, true,
                                                                   CSIPrefixTable::kNoPrefixes)
                                                 .ControlValueFromValue(2.0)),
              PI_NoErr);
    struct Case {
        int32_t frames, hasFrames, expected;
    };
    const Case cases[] = {{10, 1, 10}, {10, 0, 32}, {0, 1, 0}, {-3, 0, 32}, {64, 1, 64}};
    for (const Case& c : cases) {
        Block block(2);
        PI_RenderRecord record = block.Record(c.frames, c.hasFrames);
        EXPECT_EQ(host.render(instance, &record), PI_NoErr);
        EXPECT_EQ(process->lastFrames, c.expected);
        for (int ch = 0; ch < 2; ++ch) {
            const auto& out = block.out[static_cast<std::size_t>(ch)];
            for (int i = 0; i < Block::kFrames; ++i)
                ASSERT_EQ(out[static_cast<std::size_t>(i)], i < c.expected ? 2.0f * static_cast<float>(ch + 1) : -7.0f)
                    << "frames " << c.frames << " channel " << ch << " sample " << i;
        }
    }
}

TEST_F(Render, TheBypassFlagReachesTheBlock) {
    const PI_Instance instance = NewInstance(kMonoType);
    TestProcess* process = ProcessOf(instance);
    ASSERT_EQ(host.setBypass(instance, 1), PI_NoErr);
    Block block(1);
    PI_RenderRecord record = block.Record(8, 1);
    EXPECT_EQ(host.render(instance, &record), PI_NoErr);
    EXPECT_TRUE(process->lastBypassed);
    ASSERT_EQ(host.setBypass(instance, 0), PI_NoErr);
    EXPECT_EQ(host.render(instance, &record), PI_NoErr);
    EXPECT_FALSE(process->lastBypassed);
}

TEST_F(Render, AConnectedSideChainAddsOneInput) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    ASSERT_EQ(host.setSideChain(instance, 1), PI_NoErr);
    Block block(2);  // three inputs
    PI_RenderRecord record = block.Record(4, 1);
    EXPECT_EQ(host.render(instance, &record), PI_NoErr);
    ASSERT_EQ(process->lastInputs.size(), 3u);
    EXPECT_EQ(process->lastInputs[2], block.inputs[2]);

    record.inputCount = 2;  // the host forgot the side chain
    EXPECT_EQ(host.render(instance, &record), PI_ErrBadValue);
    EXPECT_EQ(process->renders, 1);
}

TEST_F(Render, ARecordThatCannotBeRenderedRendersNothing) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    Block block(2);
    const float* nullInputs[3] = {block.inputs[0], nullptr, block.inputs[2]};
    float* nullOutputs[2] = {block.outputs[0], nullptr};
    struct Case {
        const char* what;
        void (*spoil)(PI_RenderRecord&, const float**, float**);
        int32_t status;
    };
    const Case cases[] = {
        {"negative frames", [](PI_RenderRecord& r, const float**, float**) { r.frames = -1; }, PI_ErrBadValue},
        {"one input short", [](PI_RenderRecord& r, const float**, float**) { r.inputCount = 1; }, PI_ErrBadValue},
        {"one output short", [](PI_RenderRecord& r, const float**, float**) { r.outputCount = 1; }, PI_ErrBadValue},
        {"no input list", [](PI_RenderRecord& r, const float**, float**) { r.inputs = nullptr; }, PI_ErrNullPointer},
        {"no output list", [](PI_RenderRecord& r, const float**, float**) { r.outputs = nullptr; },
         PI_ErrNullPointer},
        {"a null input", [](PI_RenderRecord& r, const float** in, float**) { r.inputs = in; }, PI_ErrNullPointer},
        {"a null output", [](PI_RenderRecord& r, const float**, float** out) { r.outputs = out; },
         PI_ErrNullPointer},
    };
    for (const Case& c : cases) {
        PI_RenderRecord record = block.Record(16, 1);
        c.spoil(record, nullInputs, nullOutputs);
        EXPECT_EQ(host.render(instance, &record), c.status) << c.what;
    }
    EXPECT_EQ(host.render(instance, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(process->renders, 0);
    for (const auto& out : block.out)
        for (float v : out) ASSERT_EQ(v, -7.0f);
}

TEST_F(Render, AFailedBlockPointsTheHostAtTheFallbackBuffers) {
    const PI_Instance instance = NewInstance();
    struct Case {
        int32_t code, status;
    };
    const Case cases[] = {{0, PI_ErrInternal}, {-1234, -1234}};
    for (const Case& c : cases) {
        Block block(2);
        PI_RenderRecord record = block.Record(16, 1);
        TestProcess::throwNextRender = true;
        TestProcess::throwCode = c.code;
        EXPECT_EQ(host.render(instance, &record), c.status);
        EXPECT_EQ(block.outputs[0], block.fallbacks[0]);
        EXPECT_EQ(block.outputs[1], block.fallbacks[1]);
        EXPECT_EQ(block.out[0][0], 99.0f);  // the half-written block the host no longer plays
    }

    // Without fallback buffers, or with a missing one, the pointer stays.
    TestProcess::throwCode = 0;
    Block block(2);
    block.fallbacks[1] = nullptr;
    PI_RenderRecord record = block.Record(16, 1);
    TestProcess::throwNextRender = true;
    EXPECT_EQ(host.render(instance, &record), PI_ErrInternal);
    EXPECT_EQ(block.outputs[0], block.fallbacks[0]);
    EXPECT_EQ(block.outputs[1], block.out[1].data());
    Block bare(2);
    PI_RenderRecord noFallback = bare.Record(16, 1, false);
    TestProcess::throwNextRender = true;
    EXPECT_EQ(host.render(instance, &noFallback), PI_ErrInternal);
    EXPECT_EQ(bare.outputs[0], bare.out[0].data());

    // The next block renders normally.
    Block next(2);
    PI_RenderRecord fine = next.Record(16, 1);
    EXPECT_EQ(host.render(instance, &fine), PI_NoErr);
    EXPECT_EQ(next.outputs[0], next.out[0].data());
}
