// Blit and fill throughput per mode, in pixels per second, next to a plain
// memcpy of the same bytes (the bound for the opaque copy). The bitmaps are
// 512 × 512 (1 MiB each), like a large editor back buffer.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_Scaled.h"

namespace {

constexpr int kSide = 512;
constexpr std::int64_t kPixels = std::int64_t{kSide} * kSide;

// Pixels with varied colours and alphas, so the source-alpha paths take every
// branch (alpha 0, 255 and in between).
void FillVaried(LICE_MemBitmap& b, unsigned seed) {
    unsigned v = seed;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            v = v * 1664525u + 1013904223u;
            b.Pixels()[y * b.RowSpan() + x] = v;
        }
    }
}

void Report(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kPixels);
    state.SetBytesProcessed(state.iterations() * kPixels * 4);
}

void Memcpy(benchmark::State& state) {
    std::vector<LICE_pixel> src(kPixels, 0x12345678), dst(kPixels);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kPixels * sizeof(LICE_pixel));
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(Memcpy);

void BlitMode(benchmark::State& state, float weight, int mode) {
    LICE_MemBitmap src(kSide, kSide, 4), dst(kSide, kSide, 4);
    FillVaried(src, 1);
    FillVaried(dst, 2);
    for (auto _ : state) {
        LICE::Blit(&dst, &src, 0, 0, 0, 0, kSide, kSide, weight, mode);
        benchmark::DoNotOptimize(dst.Pixels());
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK_CAPTURE(BlitMode, CopyOpaque, 1.0f, LICE::ModeCopy);
BENCHMARK_CAPTURE(BlitMode, CopyHalf, 0.5f, LICE::ModeCopy);
BENCHMARK_CAPTURE(BlitMode, CopyWeighted, 0.3f, LICE::ModeCopy);
BENCHMARK_CAPTURE(BlitMode, SourceAlpha, 1.0f, LICE::ModeCopy | LICE::ModeUseSourceAlpha);
BENCHMARK_CAPTURE(BlitMode, SourceAlphaWeighted, 0.7f, LICE::ModeCopy | LICE::ModeUseSourceAlpha);
BENCHMARK_CAPTURE(BlitMode, Add, 1.0f, LICE::ModeAdd);
BENCHMARK_CAPTURE(BlitMode, AddSourceAlpha, 1.0f, LICE::ModeAdd | LICE::ModeUseSourceAlpha);
BENCHMARK_CAPTURE(BlitMode, DodgeSourceAlpha, 1.0f, LICE::ModeDodge | LICE::ModeUseSourceAlpha);
BENCHMARK_CAPTURE(BlitMode, Multiply, 1.0f, LICE::ModeMultiply);
BENCHMARK_CAPTURE(BlitMode, ChannelCopy, 1.0f, LICE::ModeChannelCopy(3, 0));

void Fill(benchmark::State& state, float weight, int mode) {
    LICE_MemBitmap dst(kSide, kSide, 4);
    FillVaried(dst, 3);
    for (auto _ : state) {
        LICE::FillRectangle(&dst, 0, 0, kSide, kSide, 0xFF336699, weight, mode);
        benchmark::DoNotOptimize(dst.Pixels());
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK_CAPTURE(Fill, Opaque, 1.0f, LICE::ModeCopy);
BENCHMARK_CAPTURE(Fill, Half, 0.5f, LICE::ModeCopy);
BENCHMARK_CAPTURE(Fill, Quarter, 0.25f, LICE::ModeCopy);
BENCHMARK_CAPTURE(Fill, Weighted, 0.3f, LICE::ModeCopy);
BENCHMARK_CAPTURE(Fill, Add, 0.3f, LICE::ModeAdd);

void Scaled(benchmark::State& state, int mode) {
    LICE_MemBitmap src(kSide / 2, kSide / 2, 4), dst(kSide, kSide, 4);
    FillVaried(src, 4);
    for (auto _ : state) {
        LICE::ScaledBlit(&dst, &src, 0, 0, kSide, kSide, 0, 0, kSide / 2, kSide / 2, 1.0f, mode);
        benchmark::DoNotOptimize(dst.Pixels());
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK_CAPTURE(Scaled, DoubleNearest, LICE::ModeCopy);
BENCHMARK_CAPTURE(Scaled, DoubleFiltered, LICE::ModeCopy | LICE::ModeFilter);

}  // namespace

BENCHMARK_MAIN();
