// The `kestrom process` pipeline against the plug-in it drives, in
// nanoseconds per stereo frame, on 20 s of the built-in demo music (48 kHz,
// 32-bit float WAV, 512-frame blocks) in each detection mode:
//
// - Plugin/<mode>: the plug-in driven directly, block by block, from float
//   buffers in memory: its processing entry (conversion to and from double,
//   the compressor, the meter hand-off) and nothing else.
// - Module/<mode>: the same blocks through the plug-in module's routine
//   table, as the tool renders them (the module loaded beside the host's
//   stand-in libraries, its knobs set through their host controls).
// - Tool/<mode>: the whole `kestrom process` run on files: start-up, reading
//   and writing the files, moving samples in and out of the plug-in's
//   buffers, the summary's scans, the meter file, the commit (--no-sync: the
//   page cache, not the disk).
// - ToolSynced/normal: the same with the file and its directory flushed to
//   disk, as by default.
//
// Module minus Plugin is what the host path costs; Tool minus Module is what
// the tool itself costs.
//
//   tool_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "compressor/KestromParams.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/DemoSignal.h"
#include "tools/inprocess/PluginRunner.h"

namespace {

using kestrom::tool::DemoSignal;
using kestrom::tool::PluginRunner;

constexpr int kRate = 48000;
constexpr double kSeconds = 20.0;
constexpr int kBlock = 512;

enum Mode { kNormal, kNegative, kRelaxed };

// The demo music, in memory and as a file in a directory of its own that
// goes when the program ends.
struct Material {
    std::filesystem::path dir;
    std::string input;
    DemoSignal music = DemoSignal::Generate(kRate, kSeconds);

    Material() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrom-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        input = (dir / "in.wav").string();
        // Written with libsndfile directly, so the benchmark also builds
        // against earlier versions of the tool for comparison.
        SF_INFO info{};
        info.channels = 2;
        info.samplerate = kRate;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(input.c_str(), SFM_WRITE, &info);
        std::vector<float> frames(2 * music.left.size());
        for (std::size_t i = 0; i < music.left.size(); ++i) {
            frames[2 * i] = music.left[i];
            frames[2 * i + 1] = music.right[i];
        }
        if (file == nullptr || sf_writef_float(file, frames.data(), Frames()) != Frames() || sf_close(file) != 0) {
            std::abort();
        }
    }
    ~Material() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::int64_t Frames() const { return static_cast<std::int64_t>(music.left.size()); }
};

const Material& TheMaterial() {
    static const Material material;
    return material;
}

std::vector<std::string> ModeOptions(Mode mode) {
    std::vector<std::string> options = {"--in", "6"};
    if (mode == kNegative) options.push_back("--negative");
    if (mode == kRelaxed) options.push_back("--relaxed");
    return options;
}

void PerFrame(benchmark::State& state, std::int64_t frames) {
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(frames),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Plugin(benchmark::State& state, Mode mode) {
    const Material& m = TheMaterial();
    PluginRunner runner;
    runner.Prepare(kRate, 2, kBlock);
    runner.SetParameter(kestrom::kIn, 6.0);
    runner.SetParameter(kestrom::kNegative, mode == kNegative ? 1.0 : 0.0);
    runner.SetParameter(kestrom::kRelaxed, mode == kRelaxed ? 1.0 : 0.0);
    std::vector<float> outL(kBlock), outR(kBlock);
    float* outputs[2] = {outL.data(), outR.data()};
    for (auto _ : state) {
        for (std::int64_t start = 0; start < m.Frames(); start += kBlock) {
            const int n = static_cast<int>(std::min<std::int64_t>(kBlock, m.Frames() - start));
            const float* inputs[2] = {m.music.left.data() + start, m.music.right.data() + start};
            benchmark::DoNotOptimize(runner.RunBlock(inputs, outputs, n));
            benchmark::ClobberMemory();
        }
    }
    PerFrame(state, m.Frames());
}

void Module(benchmark::State& state, Mode mode) {
    const Material& m = TheMaterial();
    kestrom::host::ModuleHost module;
    std::string error;
    PI_EffectTypeInfo type{};
    if (!module.Load(kestrom::host::ModuleHost::DefaultModulePath(), error) || !module.SetEngineQuantum(kBlock) ||
        !module.FindTypeForChannels(2, type, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    kestrom::host::HostedPlugin plugin(module);
    if (!plugin.Create(type.typeId, kRate, error) || !plugin.SetControlNumber(kestrom::kIn + 2, 6.0, error) ||
        !plugin.SetControlNumber(kestrom::kNegative + 2, mode == kNegative ? 1.0 : 0.0, error) ||
        !plugin.SetControlNumber(kestrom::kRelaxed + 2, mode == kRelaxed ? 1.0 : 0.0, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<float> outL(kBlock), outR(kBlock);
    float* outputs[2] = {outL.data(), outR.data()};
    kestrom::host::HostedPlugin::MeterReading meter;
    for (auto _ : state) {
        for (std::int64_t start = 0; start < m.Frames(); start += kBlock) {
            const int n = static_cast<int>(std::min<std::int64_t>(kBlock, m.Frames() - start));
            const float* inputs[2] = {m.music.left.data() + start, m.music.right.data() + start};
            plugin.Render(inputs, outputs, n, error);
            plugin.Meter(0, meter);  // as the tool reads it after every block
            benchmark::DoNotOptimize(meter);
            benchmark::ClobberMemory();
        }
    }
    PerFrame(state, m.Frames());
}

void Tool(benchmark::State& state, Mode mode, bool sync) {
    const Material& m = TheMaterial();
    std::vector<std::string> args = {"kestrom", "process", m.input, (m.dir / "out.wav").string(),
                                     "--meter", (m.dir / "meter.txt").string(), "--quiet"};
    for (const std::string& option : ModeOptions(mode)) args.push_back(option);
    if (!sync) args.push_back("--no-sync");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    kestrom::tool::Console console{out, err, false};
    for (auto _ : state) {
        if (kestrom::tool::RunCommandLine(static_cast<int>(argv.size()), argv.data(), console) != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    PerFrame(state, m.Frames());
}

}  // namespace

BENCHMARK_CAPTURE(Plugin, normal, kNormal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Module, normal, kNormal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tool, normal, kNormal, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Plugin, negative, kNegative)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Module, negative, kNegative)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tool, negative, kNegative, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Plugin, relaxed, kRelaxed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Module, relaxed, kRelaxed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tool, relaxed, kRelaxed, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tool, synced, kNormal, true)->Name("ToolSynced/normal")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
