// Redrawing the compressor's editor: the whole panel (after a parameter
// change, or when the window opens) and the needle alone (the meter's
// hand-off, up to 25 times a second). Each pass draws into the back buffer
// and copies the dirty area to the virtual screen, as a window would.
#include <benchmark/benchmark.h>

#include "compressor/Kestrom.h"
#include "compressor/KestromEditor.h"
#include "graphics/headless/IGraphicsHeadless.h"

namespace {

// A plug-in with its editor open and drawn once.
struct OpenEditor {
    OpenEditor() : ui(dynamic_cast<IGraphicsHeadless*>(plug.Editor())) {
        ui->OpenWindow(nullptr);
        while (ui->Tick()) {
        }
    }
    Kestrom plug;
    IGraphicsHeadless* ui;
};

void BM_FullRedraw(benchmark::State& state) {
    OpenEditor e;
    for (auto _ : state) {
        e.ui->MarkAllControlsDirty();
        benchmark::DoNotOptimize(e.ui->Tick());
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_NeedleRedraw(benchmark::State& state) {
    OpenEditor e;
    double value = 0.3;
    for (auto _ : state) {
        value = 0.9 - value;  // 0.3, 0.6, 0.3, ...: moves every time
        e.ui->SetParameterFromPlugin(kestrom::kMeterIndex, value, true);
        benchmark::DoNotOptimize(e.ui->Tick());
    }
    state.counters["area_px"] =
        static_cast<double>(e.ui->LastPaintedArea().Width() * e.ui->LastPaintedArea().Height());
}
BENCHMARK(BM_NeedleRedraw)->Unit(benchmark::kMicrosecond);

// The overlay shown over the whole panel: the largest picture, drawn last.
void BM_FullRedrawWithOverlay(benchmark::State& state) {
    OpenEditor e;
    e.ui->Click(100, 30);
    while (e.ui->Tick()) {
    }
    for (auto _ : state) {
        e.ui->MarkAllControlsDirty();
        benchmark::DoNotOptimize(e.ui->Tick());
    }
}
BENCHMARK(BM_FullRedrawWithOverlay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
