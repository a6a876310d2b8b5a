#include <gtest/gtest.h>

#include <cmath>

#include "tools/kestrom/ProcessStats.h"

namespace kestrom::tool {
namespace {

TEST(ProcessStats, PeaksCoverEveryChannelAndBlock) {
    ProcessStats stats;
    const float a[3] = {0.1f, -0.5f, 0.2f};
    const float b[3] = {0.0f, 0.3f, -0.25f};
    const float* block1[2] = {a, b};
    stats.AddInput(block1, 2, 3);
    const float c[2] = {0.05f, 0.7f};
    const float d[2] = {-0.9f, 0.0f};
    const float* block2[2] = {c, d};
    stats.AddInput(block2, 2, 2);
    stats.AddOutput(block1, 1, 3);
    EXPECT_FLOAT_EQ(stats.InputPeak(), 0.9f);
    EXPECT_FLOAT_EQ(stats.OutputPeak(), 0.5f);
    EXPECT_EQ(stats.Frames(), 5);
}

TEST(ProcessStats, NotANumberIsNotHiddenFromThePeak) {
    ProcessStats stats;
    const float bad[2] = {0.1f, std::nanf("")};
    const float* block[1] = {bad};
    stats.AddOutput(block, 1, 2);
    EXPECT_TRUE(std::isinf(stats.OutputPeak()));
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

TEST(ProcessStats, ReportNamesSilenceAndMissingMeter) {
    ProcessStats stats;
    const std::string report = stats.Report(48000);
    EXPECT_NE(report.find("input peak:              silent"), std::string::npos) << report;
    EXPECT_NE(report.find("none (Power off)"), std::string::npos) << report;
    const float half[1] = {0.5f};
    const float* block[1] = {half};
    stats.AddInput(block, 1, 1);
    EXPECT_NE(stats.Report(48000).find("-6.02 dBFS"), std::string::npos) << stats.Report(48000);
}

}  // namespace
}  // namespace kestrom::tool
