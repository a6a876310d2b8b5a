// The kernels, two and four lanes wide, against the plain per-sample path: over many signals,
// every combination of the five switches, mono and stereo, several In/Out
// values, rates and block sizes (0 and 1 included), the output bits and the
// needle must be identical. Blocks the kernels decline (non-finite or huge
// input) run the plain path in both processors, and the blocks after them
// must agree again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "compressor/ExactExpLog.h"
#include "compressor/KestromProcessor.h"

namespace kestrom {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kFrames = 700;  // the sanitizer build runs the same cases, shorter
#else
constexpr std::size_t kFrames = 3000;
#endif
constexpr double kPi = 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Rng {
    std::uint32_t state;
    double Next() {  // in [-1, 1)
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

struct Signal {
    const char* name;
    double (*sample)(std::size_t i, int channel, Rng& rng);
};

const Signal kSignals[] = {
    {"noise", [](std::size_t, int, Rng& r) { return 0.5 * r.Next(); }},
    {"loud-noise", [](std::size_t, int, Rng& r) { return 4.0 * r.Next(); }},
    {"sine", [](std::size_t i, int c, Rng&) { return 0.7 * std::sin(2.0 * kPi * (c ? 1234.5 : 440.0) * i / 48000.0); }},
    {"near-full-scale", [](std::size_t i, int c, Rng&) { return (c ? -1.0 : 1.0) * std::sin(2.0 * kPi * 60.0 * i / 48000.0); }},
    {"bursts",
     [](std::size_t i, int c, Rng& r) {
         return (i / 300 + c) % 3 == 0 ? 0.9 * std::sin(0.05 * i) + 0.1 * r.Next() : 0.0;
     }},
    {"silence", [](std::size_t, int, Rng&) { return 0.0; }},
    {"dc", [](std::size_t, int c, Rng&) { return c ? -0.25 : 0.6; }},
    {"quiet", [](std::size_t i, int, Rng& r) { return 1e-6 * std::sin(0.01 * i) + 1e-9 * r.Next(); }},
    {"subnormal", [](std::size_t i, int, Rng& r) { return (i % 2 ? 4e-320 : -1e-310) * (1.0 + r.Next()); }},
    {"extreme", [](std::size_t i, int, Rng& r) { return (i % 97 < 5 ? 9e29 : 1e3) * r.Next(); }},
    {"above-range", [](std::size_t i, int, Rng& r) { return i / 500 == 2 ? 1e300 * r.Next() : r.Next(); }},
    {"nan-inf",
     [](std::size_t i, int c, Rng& r) {
         if (i == 1100 + 7 * static_cast<std::size_t>(c)) return kNaN;
         if (i == 2100) return c ? -kInf : kInf;
         return 0.8 * r.Next();
     }},
};

struct Outputs {
    std::vector<double> left, right;
    std::vector<double> needles;
};

// Runs `signal` through a processor in blocks cycling through `blocks`,
// changing nothing between blocks; returns outputs and the needle after each.
using Path = KestromProcessor::KernelPath;
// The kernel paths this machine runs, each to be checked against the plain
// path.
std::vector<Path> KernelPaths() {
    if (KestromProcessor::BestKernelPath() == Path::kPlain) return {};
    return {Path::kTwoLane, Path::kFourLane};
}

Outputs Process(Path path, const Signal& signal, bool stereo, const KestromSettings& s, double rate,
            const std::vector<int>& blocks, long long* kernelBlocks = nullptr, long long* reruns = nullptr) {
    KestromProcessor p;
    p.Reset(rate);
    p.kernelPath = path;
    Rng rng{99};
    std::vector<double> inL(kFrames), inR(kFrames);
    for (std::size_t i = 0; i < kFrames; ++i) {
        inL[i] = signal.sample(i, 0, rng);
        inR[i] = signal.sample(i, 1, rng);
    }
    Outputs run{std::vector<double>(kFrames), std::vector<double>(kFrames, -7.0), {}};
    std::size_t start = 0;
    for (std::size_t b = 0; start < kFrames; ++b) {
        const int n = static_cast<int>(std::min<std::size_t>(blocks[b % blocks.size()], kFrames - start));
        const double* in[2] = {inL.data() + start, stereo ? inR.data() + start : nullptr};
        double* out[2] = {run.left.data() + start, stereo ? run.right.data() + start : nullptr};
        p.ProcessBlock(in, out, n, stereo, s);
        run.needles.push_back(p.NeedleValue());
        start += static_cast<std::size_t>(n);
    }
    if (kernelBlocks) *kernelBlocks = p.kernelBlocks;
    if (reruns) *reruns = p.kernelReruns;
    return run;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b, std::size_t* where) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            *where = i;
            return false;
        }
    }
    return true;
}

class KernelEquivalence : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (!ExactExpLog::Usable()) GTEST_SKIP() << "no exact two-lane exp/log on this machine";
    }
};

// Parameter: the switch combination (bits: deep, relaxed, dual mono,
// negative, power) and the channel count.
TEST_P(KernelEquivalence, OutputAndNeedleBitsMatchThePlainPath) {
    const int combo = GetParam() % 32;
    const bool stereo = GetParam() >= 32;
    const double ins[] = {-20.0, -7.3, 0.0, 12.0, 20.0};
    const double outs[] = {0.0, -20.0, 6.0};
    const double rates[] = {48000.0, 44100.0, 8000.0, 96000.0, 768000.0};
    const std::vector<int> blockSets[] = {{512}, {0, 1, 7, 64}, {333, 1, 0, 1000}};
    long long kernelBlocksTotal = 0, rerunsTotal = 0;
    int k = combo;
    for (const Signal& signal : kSignals) {
        ++k;
        const double in = ins[k % 5], out = outs[k % 3];
        const KestromSettings s = KestromSettings::FromParameters(
            in, out, (in + 20.0) / 40.0, combo & 1, (combo >> 1) & 1, (combo >> 2) & 1, (combo >> 3) & 1,
            (combo >> 4) & 1);
        const double rate = rates[k % 5];
        const std::vector<int>& blocks = blockSets[k % 3];
        const Outputs plain = Process(Path::kPlain, signal, stereo, s, rate, blocks);
        for (Path path : KernelPaths()) {
            long long kernelBlocks = 0, reruns = 0;
            const Outputs fast = Process(path, signal, stereo, s, rate, blocks, &kernelBlocks, &reruns);
            kernelBlocksTotal += kernelBlocks;
            rerunsTotal += reruns;
            const int lanes = path == Path::kFourLane ? 4 : 2;
            std::size_t at = 0;
            EXPECT_TRUE(SameBits(plain.left, fast.left, &at)) << signal.name << ", " << lanes << " lanes, left frame "
                                                              << at << ": " << plain.left[at] << " vs " << fast.left[at];
            EXPECT_TRUE(SameBits(plain.right, fast.right, &at))
                << signal.name << ", " << lanes << " lanes, right frame " << at << ": " << plain.right[at] << " vs "
                << fast.right[at];
            EXPECT_TRUE(SameBits(plain.needles, fast.needles, &at))
                << signal.name << ", " << lanes << " lanes, needle after block " << at;
        }
    }
    // The kernels really ran (most blocks are in their range), and with
    // Power off (the dry signal's zeros reach the output) some blocks needed
    // their flushes checked, so that path was compared too.
    if (!KernelPaths().empty()) {
        EXPECT_GT(kernelBlocksTotal, 40);
        if (!(combo & 16)) {
            EXPECT_GT(rerunsTotal, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SwitchesAndChannels, KernelEquivalence, ::testing::Range(0, 64),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const int c = info.param % 32;
                             std::string name = info.param >= 32 ? "stereo" : "mono";
                             if (c & 1) name += "_deep";
                             if (c & 2) name += "_relaxed";
                             if (c & 4) name += "_dualmono";
                             if (c & 8) name += "_negative";
                             name += (c & 16) ? "_power" : "_off";
                             return name;
                         });

// Settings that change from block to block (switches, In, Out) and a new
// rate, through every kernel variant and back to the plain path and in again,
// on each kernel path; the four-lane one processes in place (its analysis
// reads the input ahead of the output it writes).
TEST(KernelEquivalenceChanging, SettingsChangingEveryBlockMatchThePlainPath) {
    if (KernelPaths().empty()) GTEST_SKIP() << "no exact in-line exp/log on this machine";
    for (bool stereo : {false, true}) {
        KestromProcessor plain, twoLane, fourLane;
        for (KestromProcessor* p : {&plain, &twoLane, &fourLane}) p->Reset(44100.0);
        plain.kernelPath = Path::kPlain;
        twoLane.kernelPath = Path::kTwoLane;
        fourLane.kernelPath = Path::kFourLane;
        Rng rng{5};
        std::vector<double> inL(512), inR(512), outA(1024), outB(1024), inPlace(1024);
        for (int block = 0; block < 120; ++block) {
            const int n = block % 9 == 0 ? 1 : 17 + (block * 37) % 480;
            const double level = block % 11 == 3 ? 1e31 : (block % 5 == 0 ? 0.02 : 0.9);
            for (int i = 0; i < n; ++i) {
                inL[i] = level * rng.Next();
                inR[i] = level * std::sin(0.03 * (block * 512 + i));
            }
            if (block == 50) inR[n / 2] = kNaN;
            if (block == 70) {  // a new rate: every time constant and the release cache change
                for (KestromProcessor* p : {&plain, &twoLane, &fourLane}) p->Reset(96000.0);
            }
            const double in = -20.0 + 40.0 * (block % 7) / 6.0;
            const KestromSettings s = KestromSettings::FromParameters(
                in, -3.0 * (block % 4), (in + 20.0) / 40.0, block % 3 == 0, block % 4 == 1, block % 5 < 2,
                block % 6 == 2, block % 13 != 12);
            const double* inputs[2] = {inL.data(), inR.data()};
            double* a[2] = {outA.data(), outA.data() + 512};
            double* b[2] = {outB.data(), outB.data() + 512};
            double* c[2] = {inPlace.data(), inPlace.data() + 512};
            std::fill(inPlace.begin(), inPlace.end(), 0.0);
            std::copy(inL.begin(), inL.begin() + n, c[0]);
            if (stereo) std::copy(inR.begin(), inR.begin() + n, c[1]);
            plain.ProcessBlock(inputs, a, n, stereo, s);
            twoLane.ProcessBlock(inputs, b, n, stereo, s);
            const double* const inPlaceInputs[2] = {c[0], c[1]};
            fourLane.ProcessBlock(inPlaceInputs, c, n, stereo, s);
            ASSERT_EQ(std::memcmp(outA.data(), outB.data(), outA.size() * sizeof(double)), 0)
                << "two lanes, block " << block << (stereo ? " stereo" : " mono");
            ASSERT_EQ(std::memcmp(outA.data(), inPlace.data(), n * sizeof(double)), 0)
                << "four lanes in place, block " << block << (stereo ? " stereo" : " mono");
            if (stereo) {
                ASSERT_EQ(std::memcmp(outA.data() + 512, inPlace.data() + 512, n * sizeof(double)), 0)
                    << "four lanes in place, right, block " << block;
            }
            for (const KestromProcessor* p : {&twoLane, &fourLane}) {
                const double needleA = plain.NeedleValue(), needleB = p->NeedleValue();
                ASSERT_EQ(std::memcmp(&needleA, &needleB, sizeof needleA), 0) << "block " << block;
            }
        }
        EXPECT_GT(twoLane.kernelBlocks, 80);
        EXPECT_GT(fourLane.kernelBlocks, 80);
        EXPECT_EQ(plain.kernelBlocks, 0);
    }
}

// A block where linking has just been switched on: the two detectors start
// apart and meet only when the level rises, partway through the block. Until
// then each lane's targets are its own.
TEST(KernelEquivalenceChanging, DetectorsMeetingPartwayThroughABlockMatchThePlainPath) {
    if (KernelPaths().empty()) GTEST_SKIP() << "no exact in-line exp/log on this machine";
    for (Path path : KernelPaths()) {
        KestromProcessor plain, fast;
        for (KestromProcessor* p : {&plain, &fast}) p->Reset(48000.0);
        plain.kernelPath = Path::kPlain;
        fast.kernelPath = path;
        std::vector<double> inL(512), inR(512), outA(1024), outB(1024);
        for (int block = 0; block < 2; ++block) {
            // Negative, dual mono first (a loud left, a quiet right), then
            // linked: a decay, and at frame 60 a burst louder than both.
            const KestromSettings s =
                KestromSettings::FromParameters(0.0, 0.0, 0.5, false, false, block == 0, true, true);
            for (int i = 0; i < 512; ++i) {
                const double level = block == 0 ? 1.0 : (i < 60 ? 0.001 : 1.5);
                inL[i] = level * std::sin(0.05 * i);
                inR[i] = (block == 0 ? 0.01 : 1.0) * level * std::sin(0.05 * i);
            }
            const double* inputs[2] = {inL.data(), inR.data()};
            double* a[2] = {outA.data(), outA.data() + 512};
            double* b[2] = {outB.data(), outB.data() + 512};
            plain.ProcessBlock(inputs, a, 512, true, s);
            fast.ProcessBlock(inputs, b, 512, true, s);
            ASSERT_EQ(std::memcmp(outA.data(), outB.data(), outA.size() * sizeof(double)), 0)
                << (path == Path::kFourLane ? 4 : 2) << " lanes, block " << block;
        }
        EXPECT_EQ(fast.kernelBlocks, 2);
    }
}


}  // namespace
}  // namespace kestrom
