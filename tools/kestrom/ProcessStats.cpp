#include "tools/kestrom/ProcessStats.h"

#include <cmath>
#include <cstdio>

#include "core/Decibels.h"

namespace kestrom::tool {

namespace {

std::string FormatDbfs(double peak) {
    if (peak <= 0.0) {
        return "silent";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f dBFS", GainToDb(peak));
    return text;
}

// `why` says why there is no value.
std::string FormatDb(std::optional<double> value, const char* why) {
    if (!value) {
        return std::string("none (") + why + ")";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f dB", *value);
    return text;
}

// "none", or how many samples were NaN or infinite and where the first one
// was; the processing heard silence in their place.
std::string NonFiniteText(const SampleScan& scan, int sampleRate) {
    if (scan.NonFiniteSamples() == 0) {
        return "none";
    }
    char text[160];
    std::snprintf(text, sizeof text, "%lld sample%s, the first at frame %lld (%.3f s), channel %d; processed as silence",
                  static_cast<long long>(scan.NonFiniteSamples()), scan.NonFiniteSamples() == 1 ? "" : "s",
                  static_cast<long long>(scan.FirstNonFiniteFrame()),
                  sampleRate > 0 ? static_cast<double>(scan.FirstNonFiniteFrame()) / sampleRate : 0.0,
                  scan.FirstNonFiniteChannel() + 1);
    return text;
}

}  // namespace

void ProcessStats::AddMeter(std::optional<double> value, std::int64_t frames) {
    if (!value) {
        return;
    }
    if (meteredBlocks_ == 0 || *value > maxMeter_) {
        maxMeter_ = *value;
    }
    meterSum_ += *value * static_cast<double>(frames);
    meteredFrames_ += frames;
    ++meteredBlocks_;
}

std::optional<double> ProcessStats::MaxReductionDb() const {
    if (meteredBlocks_ == 0) {
        return std::nullopt;
    }
    return maxMeter_ * kMeterFullScaleDb;
}

std::optional<double> ProcessStats::AverageReductionDb() const {
    if (meteredBlocks_ == 0) {
        return std::nullopt;
    }
    if (meteredFrames_ == 0) {  // only empty blocks: no time to average over
        return maxMeter_ * kMeterFullScaleDb;
    }
    return meterSum_ / static_cast<double>(meteredFrames_) * kMeterFullScaleDb;
}

std::string ProcessStats::Report(int sampleRate) const {
    char length[64];
    std::snprintf(length, sizeof length, "%.2f s", sampleRate > 0 ? static_cast<double>(Frames()) / sampleRate : 0.0);
    std::string text;
    text += "length:                  " + std::string(length) + " (" + std::to_string(Frames()) + " frames at " +
            std::to_string(sampleRate) + " Hz)\n";
    text += "input peak:              " + FormatDbfs(InputPeak()) + "\n";
    text += "output peak:             " + FormatDbfs(OutputPeak()) + "\n";
    text += "non-finite input:        " + NonFiniteText(input_, sampleRate) + "\n";
    // No meter value: either there was no audio at all or Power was off.
    const char* why = Frames() == 0 ? "no audio" : "Power off";
    text += "largest gain reduction:  " + FormatDb(MaxReductionDb(), why) + "\n";
    text += "average gain reduction:  " + FormatDb(AverageReductionDb(), why) + "\n";
    return text;
}

}  // namespace kestrom::tool
