#include <gtest/gtest.h>

#include "compressor/Kestrom.h"
#include "compressor/KestromParams.h"
#include "tools/inprocess/PluginRunner.h"

namespace kestrom::tool {
namespace {

TEST(PluginRunner, MonoFilesRunTheMonoConfigurationAndStereoFilesTheStereoOne) {
    PluginRunner mono;
    mono.Prepare(44100, 1, 256);
    EXPECT_TRUE(mono.Plugin().IsInputConnected(0));
    EXPECT_FALSE(mono.Plugin().IsInputConnected(1));
    EXPECT_TRUE(mono.Plugin().IsOutputConnected(0));
    EXPECT_FALSE(mono.Plugin().IsOutputConnected(1));
    EXPECT_EQ(mono.Plugin().SampleRate(), 44100);

    PluginRunner stereo;
    stereo.Prepare(96000, 2, 256);
    EXPECT_TRUE(stereo.Plugin().IsInputConnected(1));
    EXPECT_TRUE(stereo.Plugin().IsOutputConnected(1));
}

TEST(PluginRunner, ValuesAreStoredClampedButNotQuantised) {
    PluginRunner runner;
    runner.Prepare(48000, 2, 64);
    const struct {
        int index;
        double given;
        double stored;
    } cases[] = {
        {kIn, 12.345, 12.345}, {kIn, 35.0, 20.0},  {kOut, -27.5, -20.0},
        {kOut, -0.04, -0.04},  {kPower, 0.0, 0.0}, {kDeep, 1.0, 1.0},
    };
    for (const auto& c : cases) {
        runner.SetParameter(c.index, c.given);
        EXPECT_EQ(runner.ParameterValue(c.index), c.stored) << c.index << " " << c.given;
    }
    EXPECT_EQ(runner.ParameterText(kIn), "20.0 dB");
    EXPECT_EQ(runner.ParameterText(kDeep), "on");
    EXPECT_EQ(runner.ParameterName(kDualMono), "Dual Mono");
}

TEST(PluginRunner, MeterReadingIsClearedBeforeEveryBlock) {
    PluginRunner runner;
    runner.Prepare(48000, 1, 32);
    std::vector<float> in(32, 0.5f), out(32);
    const float* inputs[1] = {in.data()};
    float* outputs[1] = {out.data()};
    EXPECT_TRUE(runner.RunBlock(inputs, outputs, 32).has_value());
    runner.SetParameter(kPower, 0.0);
    EXPECT_FALSE(runner.RunBlock(inputs, outputs, 32).has_value());
    runner.SetParameter(kPower, 1.0);
    EXPECT_TRUE(runner.RunBlock(inputs, outputs, 0).has_value());  // an empty block still hands over
}

}  // namespace
}  // namespace kestrom::tool
