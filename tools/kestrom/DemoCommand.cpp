#include "tools/kestrom/DemoCommand.h"

#include <algorithm>
#include <vector>

#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/DemoSynth.h"
#include "tools/kestrom/Interruption.h"
#include "tools/kestrom/SoundFileWriter.h"

namespace kestrom::tool {

namespace {
constexpr std::int64_t kBlockFrames = 16384;  // frames rendered and written at a time
}  // namespace

int RunGenerateDemo(const std::string& path, double seconds, int sampleRate, bool sync, Console& console) {
    std::string error;
    SoundFileWriter writer(path);
    bool ok = writer.Open(SoundFileWriter::kFloatWav, 2, sampleRate, error);
    const std::int64_t frames = DemoSignal::FrameCount(sampleRate, seconds);
    const double scale = ok ? DemoSignal::Scale(sampleRate, frames) : 0.0;
    DemoSynth synth(sampleRate);
    std::vector<float> left(kBlockFrames), right(kBlockFrames), both(2 * kBlockFrames);
    for (std::int64_t done = 0; ok && done < frames && !Interruption::Requested(); done += kBlockFrames) {
        const std::int64_t n = std::min(kBlockFrames, frames - done);
        synth.Render(left.data(), right.data(), n);
        for (std::int64_t i = 0; i < n; ++i) {
            both[static_cast<std::size_t>(2 * i)] = DemoSignal::Scaled(left[static_cast<std::size_t>(i)], scale);
            both[static_cast<std::size_t>(2 * i + 1)] = DemoSignal::Scaled(right[static_cast<std::size_t>(i)], scale);
        }
        ok = writer.WriteInterleaved(both.data(), n, error);
    }
    // Stopped early by a signal: nothing is committed.
    ok = ok && !Interruption::Requested() && writer.Commit(error, sync);
    if (!ok) {
        if (Interruption::Requested()) {
            return Interruption::Report(console.err, path);
        }
        console.err << "kestrom: " << error << std::endl;
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace kestrom::tool
