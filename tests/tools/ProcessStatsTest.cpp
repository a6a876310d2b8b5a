#include <gtest/gtest.h>

#include <cmath>

#include "tools/kestrom/ProcessStats.h"

namespace kestrom::tool {
namespace {

TEST(ProcessStats, PeaksAndFramesComeFromTheScansTheSamplesMoveThrough) {
    ProcessStats stats;
    const float in[6] = {0.1f, 0.0f, -0.5f, 0.3f, 0.2f, -0.25f};
    float left[3], right[3];
    float* planar[2] = {left, right};
    stats.Input().Deinterleave(in, 2, 3, planar);
    float out[6];
    const float* back[2] = {left, right};
    stats.Output().Interleave(back, 1, 3, out);
    EXPECT_FLOAT_EQ(stats.InputPeak(), 0.5f);
    EXPECT_FLOAT_EQ(stats.OutputPeak(), 0.5f);
    EXPECT_EQ(stats.Frames(), 3);
}

TEST(ProcessStats, ReductionIsTheMeterInDecibelsWeightedByBlockLength) {
    ProcessStats stats;
    EXPECT_FALSE(stats.MaxReductionDb());
    EXPECT_FALSE(stats.AverageReductionDb());
    stats.AddMeter(0.5, 300);           // 11 dB
    stats.AddMeter(std::nullopt, 1000);  // nothing handed over: not counted
    stats.AddMeter(0.25, 100);          // 5.5 dB, a short last block
    EXPECT_DOUBLE_EQ(*stats.MaxReductionDb(), 11.0);
    EXPECT_DOUBLE_EQ(*stats.AverageReductionDb(), (11.0 * 300 + 5.5 * 100) / 400);
}

TEST(ProcessStats, ReportSaysWhyThereIsNoReductionAndWhereInputWasNotFinite) {
    ProcessStats stats;
    std::string report = stats.Report(48000);
    EXPECT_NE(report.find("input peak:              silent"), std::string::npos) << report;
    EXPECT_NE(report.find("none (no audio)"), std::string::npos) << report;  // not "Power off": nothing ran
    EXPECT_NE(report.find("non-finite input:        none"), std::string::npos) << report;

    const float samples[4] = {0.5f, std::nanf(""), 0.25f, INFINITY};
    float mono[4];
    float* planar[1] = {mono};
    stats.Input().Deinterleave(samples, 1, 4, planar);
    report = stats.Report(2);
    EXPECT_NE(report.find("-6.02 dBFS"), std::string::npos) << report;
    EXPECT_NE(report.find("none (Power off)"), std::string::npos) << report;
    EXPECT_NE(report.find("2 samples, the first at frame 1 (0.500 s), channel 1"), std::string::npos) << report;
}

}  // namespace
}  // namespace kestrom::tool
