#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tools/kestrom/SampleScan.h"

namespace kestrom::tool {
namespace {

std::uint32_t Bits(float x) {
    std::uint32_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// Interleaved test material: random samples with every awkward value mixed
// in (both zeros, denormals, the largest float, NaNs with payloads, both
// infinities).
std::vector<float> Material(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> level(-1.5f, 1.5f);
    const float specials[] = {0.0f, -0.0f, std::numeric_limits<float>::denorm_min(),
                              -std::numeric_limits<float>::max(), std::nanf("7"), -std::nanf(""),
                              std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    std::vector<float> x(count);
    for (float& v : x) {
        v = random() % 17 == 0 ? specials[random() % 8] : level(random);
    }
    return x;
}

TEST(SampleScan, MovesEveryBitBothWaysAndAgreesWithAPlainScan) {
    for (int channels : {1, 2, 3}) {
        for (std::int64_t frames : {0, 1, 7, 1000, 4099}) {
            SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(frames) + " frames");
            const std::vector<float> in = Material(static_cast<std::size_t>(frames * channels), 11u * channels);
            std::vector<std::vector<float>> planar(static_cast<std::size_t>(channels),
                                                   std::vector<float>(static_cast<std::size_t>(frames)));
            std::vector<float*> p;
            for (auto& ch : planar) p.push_back(ch.data());
            SampleScan split, join;
            split.Deinterleave(in.data(), channels, frames, p.data());
            std::vector<float> back(in.size());
            join.Interleave(p.data(), channels, frames, back.data());
            for (std::size_t k = 0; k < in.size(); ++k) {
                ASSERT_EQ(Bits(planar[k % channels][k / channels]), Bits(in[k])) << k;
                ASSERT_EQ(Bits(back[k]), Bits(in[k])) << k;
            }

            float peak = 0.0f;
            std::int64_t bad = 0, first = -1;
            int firstChannel = -1;
            for (std::size_t k = 0; k < in.size(); ++k) {
                if (!std::isfinite(in[k])) {
                    if (bad++ == 0) {
                        first = static_cast<std::int64_t>(k) / channels;
                        firstChannel = static_cast<int>(k % channels);
                    }
                } else {
                    peak = std::max(peak, std::fabs(in[k]));
                }
            }
            for (const SampleScan* scan : {&split, &join}) {
                EXPECT_EQ(scan->Peak(), peak);
                EXPECT_EQ(scan->NonFiniteSamples(), bad);
                EXPECT_EQ(scan->FirstNonFiniteFrame(), first);
                EXPECT_EQ(scan->FirstNonFiniteChannel(), firstChannel);
                EXPECT_EQ(scan->Frames(), frames);
            }
        }
    }
}

TEST(SampleScan, FirstNonFiniteSampleIsCountedAcrossCallsAndPeakStaysFinite) {
    SampleScan scan;
    std::vector<float> left(100, 0.25f), right(100, -0.5f);
    float* out[2] = {left.data(), right.data()};
    std::vector<float> clean(200, 0.125f);
    scan.Deinterleave(clean.data(), 2, 100, out);
    EXPECT_EQ(scan.FirstNonFiniteFrame(), -1);

    std::vector<float> dirty(200, 0.75f);
    dirty[2 * 40 + 1] = std::numeric_limits<float>::quiet_NaN();  // frame 140 overall, right channel
    dirty[2 * 60] = std::numeric_limits<float>::infinity();
    scan.Deinterleave(dirty.data(), 2, 100, out);
    dirty[0] = -std::numeric_limits<float>::infinity();  // later than the first: does not move it
    scan.Deinterleave(dirty.data(), 2, 100, out);
    EXPECT_EQ(scan.Frames(), 300);
    EXPECT_EQ(scan.NonFiniteSamples(), 5);
    EXPECT_EQ(scan.FirstNonFiniteFrame(), 140);
    EXPECT_EQ(scan.FirstNonFiniteChannel(), 1);
    EXPECT_EQ(scan.Peak(), 0.75f);
}

}  // namespace
}  // namespace kestrom::tool
