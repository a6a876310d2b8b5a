#include "tools/kestrom/DemoSignal.h"

#include <algorithm>
#include <cmath>

#include "tools/kestrom/DemoSynth.h"

namespace kestrom::tool {

namespace {
constexpr std::int64_t kScanBlock = 8192;  // frames rendered at a time while looking for the peak
}  // namespace

std::int64_t DemoSignal::FrameCount(int sampleRate, double seconds) {
    return static_cast<std::int64_t>(std::max(0.0, std::floor(seconds * sampleRate)));
}

double DemoSignal::Scale(int sampleRate, std::int64_t frames) {
    const std::int64_t scanned =
        std::min(frames, static_cast<std::int64_t>(std::ceil(DemoSynth::kPatternSeconds * sampleRate)));
    DemoSynth synth(sampleRate);
    std::vector<float> left(kScanBlock), right(kScanBlock);
    double peak = 0.0;
    for (std::int64_t done = 0; done < scanned; done += kScanBlock) {
        const std::int64_t n = std::min(kScanBlock, scanned - done);
        synth.Render(left.data(), right.data(), n);
        for (std::int64_t i = 0; i < n; ++i) {
            peak = std::max({peak, std::fabs(static_cast<double>(left[i])), std::fabs(static_cast<double>(right[i]))});
        }
    }
    return peak > 0.0 ? kPeak / peak : 0.0;
}

DemoSignal DemoSignal::Generate(int sampleRate, double seconds) {
    DemoSignal demo;
    demo.sampleRate = sampleRate;
    const std::int64_t frames = FrameCount(sampleRate, seconds);
    demo.left.assign(static_cast<std::size_t>(frames), 0.0f);
    demo.right.assign(static_cast<std::size_t>(frames), 0.0f);
    DemoSynth(sampleRate).Render(demo.left.data(), demo.right.data(), frames);
    const double scale = Scale(sampleRate, frames);
    for (std::size_t i = 0; i < demo.left.size(); ++i) {
        demo.left[i] = Scaled(demo.left[i], scale);
        demo.right[i] = Scaled(demo.right[i], scale);
    }
    return demo;
}

}  // namespace kestrom::tool
