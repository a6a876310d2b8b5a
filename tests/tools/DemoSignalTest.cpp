#include <gtest/gtest.h>

#include <cmath>

#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/DemoSynth.h"

namespace kestrom::tool {
namespace {

double Rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

TEST(DemoSignal, IsDeterministicStereoAtTheRequestedLengthAndPeak) {
    const DemoSignal a = DemoSignal::Generate();
    const DemoSignal b = DemoSignal::Generate();
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.sampleRate, 48000);
    ASSERT_EQ(a.left.size(), 8u * 48000);
    ASSERT_EQ(a.right.size(), a.left.size());
    EXPECT_NE(a.left, a.right);  // voice and hi-hat are panned apart
    float peak = 0.0f;
    for (std::size_t i = 0; i < a.left.size(); ++i) {
        peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
    }
    EXPECT_FLOAT_EQ(peak, static_cast<float>(DemoSignal::kPeak));

    const DemoSignal shorter = DemoSignal::Generate(44100, 1.5);
    EXPECT_EQ(shorter.left.size(), 66150u);
    EXPECT_EQ(DemoSignal::Generate(48000, 0.0).left.size(), 0u);
}

TEST(DemoSignal, LoudHalfIsWellAboveTheSoftHalfAndNoBeatIsSilent) {
    const DemoSignal demo = DemoSignal::Generate();
    const std::size_t half = demo.left.size() / 2;
    const double soft = Rms(demo.left, 0, half);
    const double loud = Rms(demo.left, half, demo.left.size());
    EXPECT_GT(20.0 * std::log10(loud / soft), 6.0);
    const std::size_t beat = 24000;  // 0.5 s at 48 kHz
    for (std::size_t start = 0; start + beat <= demo.left.size(); start += beat) {
        EXPECT_GT(Rms(demo.left, start, start + beat), 1e-3) << "beat at frame " << start;
    }
}

// Any split into blocks renders the same samples, and beyond the first
// pattern the music goes on with the first pattern's scale.
TEST(DemoSignal, SynthesiserGivesTheSameSamplesWhateverTheBlocks) {
    const DemoSignal whole = DemoSignal::Generate(44100, 9.0);
    DemoSynth synth(44100);
    std::vector<float> left(whole.left.size()), right(whole.right.size());
    std::size_t done = 0;
    for (std::size_t block : {1u, 7u, 4096u, 100000u, 1000000u}) {
        const std::size_t n = std::min(block, left.size() - done);
        synth.Render(left.data() + done, right.data() + done, static_cast<std::int64_t>(n));
        done += n;
    }
    ASSERT_EQ(done, left.size());
    const double scale = DemoSignal::Scale(44100, static_cast<std::int64_t>(left.size()));
    EXPECT_EQ(scale, DemoSignal::Scale(44100, 8 * 44100));
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(DemoSignal::Scaled(left[i], scale), whole.left[i]) << i;
        ASSERT_EQ(DemoSignal::Scaled(right[i], scale), whole.right[i]) << i;
    }
}

}  // namespace
}  // namespace kestrom::tool
