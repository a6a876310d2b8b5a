// Redrawing the compressor's editor: the whole panel (after a parameter
// change, or when the window opens) and the needle alone (the meter's
// hand-off, up to 25 times a second). Each pass draws into the back buffer
// and copies the dirty area to the virtual screen, as a window would.
// And what the editor's seven pictures cost: reading their headers (all that
// building the plug-in does with them) and decoding them (what the first
// drawing adds; the overlay waits until it is shown).
#include <benchmark/benchmark.h>

#include <memory>

#include "compressor/Kestrom.h"
#include "compressor/KestromEditor.h"
#include "graphics/LICE_Png.h"
#include "graphics/LICE_PngBitmap.h"
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

// The pictures as the window layer loads them for a new editor: their sizes
// from their headers, nothing decoded.
void BM_LoadPictureHeaders(benchmark::State& state) {
    for (auto _ : state) {
        for (const kestrom::editor::PictureEntry& p : kestrom::editor::kPictures) {
            std::unique_ptr<LICE_PngBitmap> b = LICE_PngBitmap::FromResource(nullptr, p.id);
            benchmark::DoNotOptimize(b.get());
        }
    }
}
BENCHMARK(BM_LoadPictureHeaders)->Unit(benchmark::kMicrosecond);

// All seven pictures decoded.
void BM_DecodePictures(benchmark::State& state) {
    for (auto _ : state) {
        for (const kestrom::editor::PictureEntry& p : kestrom::editor::kPictures) {
            std::unique_ptr<LICE_IBitmap> b(LICE::LoadPngResource(nullptr, p.id, nullptr));
            benchmark::DoNotOptimize(b.get());
        }
    }
}
BENCHMARK(BM_DecodePictures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
