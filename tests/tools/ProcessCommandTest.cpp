#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <sstream>

#include "compressor/KestromParams.h"
#include "tests/tools/ToolRun.h"
#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/Interruption.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

namespace kestrom::tool {
namespace {

using testing::Audio;
using testing::ExpectOneErrorLine;
using testing::RunKestrom;
using testing::ScratchDir;
using testing::ToolRun;

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(KestromProcess, BadCommandLinesExitWithUsageStatusAndOneLine) {
    ScratchDir dir;
    const std::string in = dir.File("in.wav");
    const std::string out = dir.File("out.wav");
    ASSERT_TRUE(testing::WriteAudio(in, testing::Sines(1, 100)));
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"mangle", in, out},
        {"process"},
        {"process", in},
        {"process", in, out, "extra"},
        {"process", in, out, "--in", "loud"},
        {"process", in, out, "--in", "nan"},
        {"process", in, out, "--out", "inf"},
        {"process", in, out, "--out", "1e999"},
        {"process", in, out, "--in"},
        {"process", in, out, "--power", "maybe"},
        {"process", in, out, "--power"},
        {"process", in, out, "--block", "0"},
        {"process", in, out, "--block", "-5"},
        {"process", in, out, "--block", "1.5"},
        {"process", in, out, "--block", "99999999"},
        {"process", in, out, "--frobnicate"},
        {"process", in, out, "--deep=sometimes"},
        {"process", in, out, "--block", "12abc"},
        {"process", in, out, "--meter", ""},
        {"process", in, "", "-q"},
        {"generate-demo"},
        {"generate-demo", out, "--seconds", "-1"},
        {"generate-demo", out, "--seconds", "nan"},
        {"generate-demo", out, "--rate", "44.1k"},
        {"frob", in, out},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) {
            shown += a + " ";
        }
        SCOPED_TRACE(shown);
        const ToolRun run = RunKestrom(args);
        EXPECT_EQ(run.status, kExitUsage);
        ExpectOneErrorLine(run);
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.wav"});

    // The message says what is wrong, not something near it.
    const struct {
        std::vector<std::string> args;
        const char* says;
    } messages[] = {
        {{"frob"}, "'frob' is not a command"},
        {{"process", in, out, "--block", "12abc"}, "not a whole number"},
        {{"process", in, out, "--meter", ""}, "empty file name"},
    };
    for (const auto& m : messages) {
        EXPECT_NE(RunKestrom(m.args).err.find(m.says), std::string::npos) << m.says;
    }
    // Too small for a double is as good as 0.
    EXPECT_EQ(RunKestrom({"process", in, out, "--in", "1e-400", "-q"}).status, kExitOk);
}

TEST(KestromProcess, UnusableInputsFailWithOneLineAndLeaveNoOutput) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("three.wav"), testing::Sines(3, 100)));
    {
        std::ofstream text(dir.File("text.wav"));
        text << "RIFF? no, just text\n";
    }
    ASSERT_TRUE(testing::WriteAudio(dir.File("ok.wav"), testing::Sines(2, 100)));
    ASSERT_TRUE(testing::WriteAudio(dir.File("old.wav"), testing::Sines(1, 7)));
    const std::vector<std::string> before = dir.Entries();

    struct Case {
        std::vector<std::string> args;
        std::string mentions;
    };
    const std::vector<Case> cases = {
        {{"process", dir.File("missing.wav"), dir.File("old.wav")}, "missing.wav"},
        {{"process", dir.File("text.wav"), dir.File("old.wav")}, "text.wav"},
        {{"process", dir.File("three.wav"), dir.File("old.wav")}, "3 channels"},
        {{"process", dir.File("ok.wav"), dir.File("nowhere/out.wav")}, "nowhere"},
        {{"process", dir.File("ok.wav"), dir.File("old.wav"), "--meter", dir.File("nowhere/m.txt")}, "nowhere"},
        {{"process", dir.File("ok.wav"), dir.File("")}, "directory"},
        {{"generate-demo", dir.File("nowhere/demo.wav")}, "nowhere"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const ToolRun run = RunKestrom(c.args);
        EXPECT_EQ(run.status, kExitFailure);
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
        EXPECT_EQ(dir.Entries(), before);
    }
    // The existing target was left as it was.
    EXPECT_EQ(testing::ReadAudio(dir.File("old.wav")).Frames(), 7u);
}

TEST(KestromProcess, InterruptionStopsWithoutLeavingOutput) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 5000)));
    Interruption::Set(SIGTERM);
    const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--meter", dir.File("m.txt")});
    Interruption::Set(0);
    EXPECT_EQ(run.status, 128 + SIGTERM);
    EXPECT_NE(run.err.find("SIGTERM"), std::string::npos) << run.err;
    ExpectOneErrorLine(run);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.wav"});
}

// The tool's output must be exactly what a host gets driving the module with
// the same blocks and control values: same channel order, same block
// boundaries, the short last block included.
TEST(KestromProcess, MatchesRenderingTheSameBlocksThroughTheModule) {
    struct Case {
        int channels;
        std::size_t frames;
        int block;
        std::size_t blocks;
    };
    const Case cases[] = {{1, 1000, 256, 4}, {2, 1000, 256, 4}, {2, 1024, 256, 4}, {2, 300, 512, 1}, {1, 5, 1, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channels, " + std::to_string(c.frames) + " frames, block " +
                     std::to_string(c.block));
        ScratchDir dir;
        Audio input = testing::Sines(c.channels, c.frames, 44100, 0.8);
        ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), input));
        const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--in", "6.25", "--block",
                                 std::to_string(c.block), "--meter", dir.File("meter.txt")});
        ASSERT_EQ(run.status, kExitOk) << run.err;

        // The same blocks through the module's routine table, with the knob set
        // through its host control as the tool sets it.
        kestrom::host::ModuleHost module;
        std::string error;
        ASSERT_TRUE(module.Load(kestrom::host::ModuleHost::DefaultModulePath(), error)) << error;
        module.SetEngineQuantum(c.block);
        PI_EffectTypeInfo type{};
        ASSERT_TRUE(module.FindTypeForChannels(c.channels, type, error));
        kestrom::host::HostedPlugin direct(module);
        ASSERT_TRUE(direct.Create(type.typeId, 44100, error)) << error;
        ASSERT_TRUE(direct.SetControlNumber(kIn + 2, 6.25, error)) << error;
        Audio expected = input;
        std::vector<std::string> expectedMeter;
        for (std::size_t start = 0; start < c.frames; start += static_cast<std::size_t>(c.block)) {
            const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(c.block), c.frames - start));
            std::vector<const float*> in;
            std::vector<float*> out;
            for (int ch = 0; ch < c.channels; ++ch) {
                in.push_back(input.samples[static_cast<std::size_t>(ch)].data() + start);
                out.push_back(expected.samples[static_cast<std::size_t>(ch)].data() + start);
            }
            kestrom::host::HostedPlugin::MeterReading before, after;
            ASSERT_TRUE(direct.Meter(0, before));
            ASSERT_TRUE(direct.Render(in.data(), out.data(), n, error)) << error;
            ASSERT_TRUE(direct.Meter(0, after));
            const std::optional<double> meter =
                after.updates != before.updates ? std::optional<double>(after.value) : std::nullopt;
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", meter.value_or(-1.0));
            expectedMeter.push_back(meter ? text : "-");
        }

        const Audio output = testing::ReadAudio(dir.File("out.wav"));
        EXPECT_EQ(output.sampleRate, 44100);
        EXPECT_EQ(output.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        EXPECT_EQ(output.samples, expected.samples);
        EXPECT_NE(output.samples, input.samples);  // it did compress
        const std::vector<std::string> meterLines = Lines(dir.File("meter.txt"));
        EXPECT_EQ(meterLines.size(), c.blocks);
        EXPECT_EQ(meterLines, expectedMeter);
    }
}

TEST(KestromProcess, MeterFileHoldsTheNeedleWithPowerOnAndDashesWithPowerOff) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 48000, 48000, 0.9)));
    ToolRun on = RunKestrom({"process", dir.File("in.wav"), dir.File("on.wav"), "--in", "20", "--meter", dir.File("on.txt")});
    ASSERT_EQ(on.status, kExitOk) << on.err;
    const std::vector<std::string> needle = Lines(dir.File("on.txt"));
    ASSERT_EQ(needle.size(), 94u);  // 93 full blocks of 512 and one of 384
    for (const std::string& line : needle) {
        const double v = std::strtod(line.c_str(), nullptr);
        EXPECT_GE(v, 0.0) << line;
        EXPECT_LE(v, 1.0) << line;
    }
    // A loud sine driven 20 dB harder is held down by well over 10 dB.
    EXPECT_GT(std::strtod(needle.back().c_str(), nullptr) * 22.0, 10.0);

    ToolRun off = RunKestrom(
        {"process", dir.File("in.wav"), dir.File("off.wav"), "--power", "off", "--meter", dir.File("off.txt")});
    ASSERT_EQ(off.status, kExitOk) << off.err;
    EXPECT_EQ(Lines(dir.File("off.txt")), std::vector<std::string>(94, "-"));
    EXPECT_NE(off.out.find("Power off"), std::string::npos) << off.out;
}

// Neutral knobs and Power off: after the bypass crossfade (a few samples) the
// output is the input, up to the output DC blocker's phase shift of about
// 0.016 rad at 440 Hz (0.008 at this amplitude). A delay of even one sample
// would show as 0.03.
TEST(KestromProcess, BypassedRoundTripGivesTheInputBackForMonoAndStereo) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        ScratchDir dir;
        const Audio input = testing::Sines(channels, 20000, 44100, 0.5);
        ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), input));
        const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--power", "off", "--quiet"});
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(run.out, "");
        const Audio output = testing::ReadAudio(dir.File("out.wav"));
        ASSERT_EQ(output.samples.size(), static_cast<std::size_t>(channels));
        ASSERT_EQ(output.Frames(), input.Frames());
        EXPECT_EQ(output.sampleRate, 44100);
        double worst = 0.0;
        for (int c = 0; c < channels; ++c) {
            for (std::size_t i = 2000; i < input.Frames(); ++i) {
                worst = std::max(worst, static_cast<double>(std::fabs(output.samples[static_cast<std::size_t>(c)][i] -
                                                                      input.samples[static_cast<std::size_t>(c)][i])));
            }
        }
        EXPECT_LT(worst, 0.02);
    }
}

TEST(KestromProcess, ReadsOtherFormatsAndKeepsThemOnRequest) {
    struct Case {
        const char* name;
        int format;
    };
    const Case cases[] = {
        {"in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"in.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        {"in.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        ASSERT_TRUE(testing::WriteAudio(dir.File(c.name), testing::Sines(2, 4800, 48000), c.format));
        ToolRun plain = RunKestrom({"process", dir.File(c.name), dir.File("plain.wav"), "-q"});
        ASSERT_EQ(plain.status, kExitOk) << plain.err;
        EXPECT_EQ(testing::ReadAudio(dir.File("plain.wav")).format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        ToolRun kept = RunKestrom({"process", dir.File(c.name), dir.File("kept"), "--keep-format", "-q"});
        ASSERT_EQ(kept.status, kExitOk) << kept.err;
        const Audio back = testing::ReadAudio(dir.File("kept"));
        EXPECT_EQ(back.format, c.format);
        EXPECT_EQ(back.Frames(), 4800u);
    }
}

TEST(KestromProcess, EveryOptionReachesItsParameterAndTheSummary) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(1, 100)));
    const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--in", "35", "--out", "-3.25",
                             "--deep", "--relaxed", "--dual-mono", "--negative", "--power", "on"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("In 20.0, Out -3.2, Deep on, Relaxed on, Dual Mono on, Negative on, Power on"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("largest gain reduction"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST(KestromProcess, EmptyInputGivesEmptyOutputAndMeterFile) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 0)));
    const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--meter", dir.File("m.txt")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("none (no audio)"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Power off"), std::string::npos) << run.out;
    EXPECT_EQ(testing::ReadAudio(dir.File("out.wav")).samples.size(), 2u);
    EXPECT_TRUE(Lines(dir.File("m.txt")).empty());
}

// One NaN and one infinity in a 48000-frame block: the output stays finite
// everywhere and equals the output for the same input with silence in their
// place; the summary counts them and says where the first was.
TEST(KestromProcess, NonFiniteInputSamplesSpoilNothingButThemselvesAndAreReported) {
    ScratchDir dir;
    Audio clean = testing::Sines(2, 48000, 48000, 0.7);
    clean.samples[0][500] = 0.0f;
    clean.samples[1][30000] = 0.0f;
    Audio dirty = clean;
    dirty.samples[0][500] = std::nanf("");
    dirty.samples[1][30000] = -INFINITY;
    ASSERT_TRUE(testing::WriteAudio(dir.File("clean.wav"), clean));
    ASSERT_TRUE(testing::WriteAudio(dir.File("dirty.wav"), dirty));
    for (const char* power : {"on", "off"}) {
        SCOPED_TRACE(power);
        const ToolRun a = RunKestrom({"process", dir.File("clean.wav"), dir.File("a.wav"), "--block", "48000",
                                      "--power", power, "--meter", dir.File("a.txt")});
        const ToolRun b = RunKestrom({"process", dir.File("dirty.wav"), dir.File("b.wav"), "--block", "48000",
                                      "--power", power, "--meter", dir.File("b.txt")});
        ASSERT_EQ(a.status, kExitOk) << a.err;
        ASSERT_EQ(b.status, kExitOk) << b.err;
        EXPECT_NE(b.out.find("non-finite input:        2 samples, the first at frame 500 (0.010 s), channel 1"),
                  std::string::npos)
            << b.out;
        EXPECT_NE(a.out.find("non-finite input:        none"), std::string::npos) << a.out;
        EXPECT_EQ(b.out.find("inf"), std::string::npos) << b.out;
        EXPECT_EQ(b.out.find("nan"), std::string::npos) << b.out;
        const Audio out = testing::ReadAudio(dir.File("b.wav"));
        for (const auto& channel : out.samples) {
            EXPECT_TRUE(std::all_of(channel.begin(), channel.end(), [](float v) { return std::isfinite(v); }));
        }
        EXPECT_EQ(out.samples, testing::ReadAudio(dir.File("a.wav")).samples);
        EXPECT_EQ(Lines(dir.File("b.txt")), Lines(dir.File("a.txt")));
    }
}

TEST(KestromGenerateDemo, WritesTheDemoAsStereoFloatWav) {
    ScratchDir dir;
    const ToolRun run = RunKestrom({"generate-demo", dir.File("demo.wav"), "--seconds", "1"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const Audio demo = testing::ReadAudio(dir.File("demo.wav"));
    EXPECT_EQ(demo.samples.size(), 2u);
    EXPECT_EQ(demo.Frames(), 48000u);
    EXPECT_EQ(demo.sampleRate, 48000);
    EXPECT_EQ(demo.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    // Streamed block by block, sample for sample the music held whole.
    const DemoSignal whole = DemoSignal::Generate(48000, 1.0);
    EXPECT_EQ(demo.samples[0], whole.left);
    EXPECT_EQ(demo.samples[1], whole.right);
}

}  // namespace
}  // namespace kestrom::tool
