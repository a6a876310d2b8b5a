#include <gtest/gtest.h>

#include "SignalTools.h"
#include "compressor/DetectorFilter.h"

namespace kestrom {
namespace {

double BandGain(DetectorFilter filter, double hz) {
    const double rate = 48000.0;
    const auto x = testing::Sine(1.0, hz, rate, 48000);
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = filter.Process(x[i]);
    return testing::Peak(y, 24000, 48000);
}

TEST(DetectorFilter, CornersOutsideTheAudibleBandLeaveTheSignalUntouched) {
    DetectorFilter filter;
    filter.Configure(10.0, 22050.0, 48000.0);
    EXPECT_FALSE(filter.highPassOn);
    EXPECT_FALSE(filter.lowPassOn);
    for (double x : {0.5, -0.25, 1e-10}) EXPECT_EQ(filter.Process(x), x);
}

TEST(DetectorFilter, DeepBandHearsMidrangeAndIgnoresBass) {
    DetectorFilter filter;
    filter.Configure(220.0, 2250.0, 48000.0);
    EXPECT_TRUE(filter.highPassOn);
    EXPECT_TRUE(filter.lowPassOn);
    const double mid = BandGain(filter, 700.0);
    EXPECT_GT(mid, 0.75);
    EXPECT_LT(BandGain(filter, 60.0), 0.5 * mid);
    EXPECT_LT(BandGain(filter, 20.0), 0.2 * mid);
    EXPECT_LT(BandGain(filter, 12000.0), 0.25 * mid);
}

}  // namespace
}  // namespace kestrom
