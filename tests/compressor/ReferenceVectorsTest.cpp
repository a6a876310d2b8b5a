// Runs the independently made reference cases through KestromProcessor the way
// the plug-in runs them (host float buffers widened to double, output narrowed
// back to float, the needle read after every block while Power is on) and
// requires bit-exact agreement of the audio and of the needle values.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "compressor/KestromProcessor.h"

namespace kestrom {
namespace {

const std::string kDir = std::string(KESTROM_TEST_DATA_DIR) + "/reference/compressor/";

// Interleaved 32-bit float samples of a WAV file (format 3, or extensible
// with a float sub-format).
struct FloatWav {
    int channels = 0;
    std::uint32_t rate = 0;
    std::vector<float> samples;
};

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

bool ReadFloatWav(const std::string& path, FloatWav& wav) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    for (std::size_t pos = 12; pos + 8 <= bytes.size();) {
        const unsigned char* chunk = bytes.data() + pos;
        const std::uint32_t size = Le32(chunk + 4);
        if (pos + 8 + size > bytes.size()) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            const std::uint16_t format = Le16(chunk + 8);
            const bool isFloat = format == 3 || (format == 0xFFFE && size >= 26 && Le16(chunk + 32) == 3);
            if (!isFloat || Le16(chunk + 22) != 32) return false;
            wav.channels = Le16(chunk + 10);
            wav.rate = Le32(chunk + 12);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            wav.samples.resize(size / 4);
            std::memcpy(wav.samples.data(), chunk + 8, wav.samples.size() * 4);
            return wav.channels > 0;
        }
        pos += 8 + size + (size & 1);
    }
    return false;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

struct ReferenceCase {
    const char* name;
    int channels;
    double rate;
    int blockSize;
    double in, out, deep, relaxed, dualMono, negative, power;
};

std::ostream& operator<<(std::ostream& os, const ReferenceCase& c) { return os << c.name; }

class ReferenceVectors : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceVectors, OutputAndNeedleMatchBitForBit) {
    const ReferenceCase& c = GetParam();
    FloatWav input, expected;
    ASSERT_TRUE(ReadFloatWav(kDir + c.name + ".in.wav", input)) << kDir << c.name;
    ASSERT_TRUE(ReadFloatWav(kDir + c.name + ".out.wav", expected));
    ASSERT_EQ(input.channels, c.channels);
    ASSERT_EQ(input.rate, static_cast<std::uint32_t>(c.rate));
    ASSERT_EQ(expected.samples.size(), input.samples.size());
    const std::vector<std::string> expectedNeedle = ReadLines(kDir + c.name + ".meter.txt");

    // "In" normalised over its -20 .. 20 dB range, as the parameter does it.
    const double inNormal = (c.in - -20.0) / (20.0 - -20.0);
    const KestromSettings settings = KestromSettings::FromParameters(
        c.in, c.out, inNormal, c.deep, c.relaxed, c.dualMono, c.negative, c.power);

    KestromProcessor processor;
    ASSERT_TRUE(processor.Reset(c.rate));

    const std::size_t frames = input.samples.size() / c.channels;
    std::vector<std::vector<double>> in(c.channels, std::vector<double>(c.blockSize));
    std::vector<std::vector<double>> out(c.channels, std::vector<double>(c.blockSize));
    std::vector<const double*> inPtr;
    std::vector<double*> outPtr;
    for (int ch = 0; ch < c.channels; ++ch) {
        inPtr.push_back(in[ch].data());
        outPtr.push_back(out[ch].data());
    }

    std::vector<std::string> needle;
    std::size_t mismatches = 0;
    for (std::size_t start = 0; start < frames; start += c.blockSize) {
        const int n = static_cast<int>(std::min<std::size_t>(c.blockSize, frames - start));
        for (int ch = 0; ch < c.channels; ++ch)
            for (int i = 0; i < n; ++i) in[ch][i] = input.samples[(start + i) * c.channels + ch];

        processor.ProcessBlock(inPtr.data(), outPtr.data(), n, c.channels == 2, settings);

        for (int ch = 0; ch < c.channels; ++ch) {
            for (int i = 0; i < n; ++i) {
                const float got = static_cast<float>(out[ch][i]);
                const float want = expected.samples[(start + i) * c.channels + ch];
                if (std::memcmp(&got, &want, sizeof got) != 0 && mismatches++ < 5) {
                    ADD_FAILURE() << "frame " << start + i << " channel " << ch << ": got "
                                  << got << ", want " << want;
                }
            }
        }
        if (c.power != 0.0) {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", processor.NeedleValue());
            needle.push_back(text);
        } else {
            needle.push_back("-");
        }
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(needle, expectedNeedle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReferenceVectors,
    ::testing::Values(
        ReferenceCase{"stereo-defaults", 2, 44100, 512, 0.0, 0.0, 0, 0, 0, 0, 1},
        ReferenceCase{"stereo-deep-negative", 2, 48000, 64, 14.0, 0.0, 1, 0, 0, 1, 1},
        ReferenceCase{"mono-relaxed", 1, 44100, 300, 20.0, -6.0, 0, 1, 0, 0, 1},
        ReferenceCase{"stereo-dualmono-poweroff", 2, 48000, 512, 10.0, 0.0, 0, 0, 1, 0, 0}),
    [](const ::testing::TestParamInfo<ReferenceCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

}  // namespace
}  // namespace kestrom
