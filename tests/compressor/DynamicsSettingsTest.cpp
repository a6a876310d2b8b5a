// What "In", "Negative" and "Relaxed" select for the detection.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "compressor/DynamicsSettings.h"

namespace kestrom {
namespace {

struct SettingsCase {
    const char* what;
    double inNormal;
    bool negative, relaxed;
    double threshold, ratio, attack, releaseBase, averaging, feedback;
    bool jitter;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.what; }

class DynamicsSettingsTable : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(DynamicsSettingsTable, SelectsTheDocumentedSetting) {
    const SettingsCase c = GetParam();
    const DynamicsSettings s = DynamicsSettings::Select(c.inNormal, c.negative, c.relaxed);
    EXPECT_NEAR(s.thresholdDb, c.threshold, 1e-12);
    EXPECT_NEAR(s.ratio, c.ratio, 1e-12);
    EXPECT_NEAR(s.attackMs, c.attack, 1e-12);
    EXPECT_NEAR(s.releaseBaseMs, c.releaseBase, 1e-12);
    EXPECT_NEAR(s.averagingMs, c.averaging, 1e-12);
    EXPECT_EQ(s.feedbackShare, c.feedback);
    EXPECT_EQ(s.jitterDepth, c.jitter ? 9.999776375479996e-05 : 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, DynamicsSettingsTable,
    ::testing::Values(
        // what              n    neg    relax  T      R     A     Rb   Ta   B    jitter
        SettingsCase{"In -20 dB", 0.0, false, false, -45.0, 1.0, 0.0, 322.0, 1.1, 0.3, true},
        SettingsCase{"In 0 dB", 0.5, false, false, -40.0, 2.0, 0.0, 172.0, 0.55, 0.3, true},
        SettingsCase{"In +20 dB", 1.0, false, false, -35.0, 3.0, 0.0, 22.0, 0.0, 0.3, true},
        SettingsCase{"negative, In +20", 1.0, true, false, -22.0, -5.1, 0.0, 22.0, 0.0, 0.0, true},
        SettingsCase{"negative, In -20", 0.0, true, false, -32.0, -12.0, 0.0, 322.0, 0.0, 0.0, true},
        SettingsCase{"relaxed, In +20", 1.0, false, true, -35.0, 3.0, 4.87, 296.0, 8.0, 0.0, false},
        SettingsCase{"relaxed negative", 0.5, true, true, -27.0, -8.55, 4.87, 296.0, 8.0, 0.0, false}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace kestrom
