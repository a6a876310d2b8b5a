// Cost of the plug-in base's processing entry around an effect, in
// nanoseconds per stereo frame: the host's float buffers widened to the
// plug-in's doubles, the default pass-through, and the doubles narrowed back
// into the host's buffers, as one host block at a time.
//
//   core_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bridge/IPlugRTAS.h"

namespace {

void HostBlock(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    IPlugRTAS plug(0, "1-1 2-2", 0, "Bench", "", "", 0, 0, 0, 0, false, false, false);
    plug.ChangeBlockSize(frames);
    std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames);
    for (int i = 0; i < frames; ++i) {
        inL[i] = 0.5f * std::sin(0.01f * static_cast<float>(i));
        inR[i] = 0.25f * std::cos(0.02f * static_cast<float>(i));
    }
    const float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    for (auto _ : state) {
        plug.ProcessHostBlock(inputs, outputs, frames);
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(frames),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(HostBlock)->Name("HostBlock/stereo")->Arg(64)->Arg(512)->Arg(1024);

BENCHMARK_MAIN();
