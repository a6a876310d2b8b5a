#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tools/kestrom/MeterRecorder.h"

class Kestrom;

namespace kestrom::tool {

// Drives one Kestrom instance the way a host does: sample rate, block size,
// channel connections and reset first, then every block through the plug-in
// base's processing entry (AttachInputs, AttachOutputs, RunBlock) under the
// plug-in's lock. A MeterRecorder attached as the editor catches what the
// processing hands to the meter.
class PluginRunner {
public:
    PluginRunner();
    ~PluginRunner();
    PluginRunner(const PluginRunner&) = delete;
    PluginRunner& operator=(const PluginRunner&) = delete;

    // Mono (1: the mono configuration, only channel 0 connected) or stereo (2),
    // blocks of up to `maxFrames` frames.
    void Prepare(double sampleRate, int channels, int maxFrames);

    // Stores `value` in real units, clamped to the parameter's range and not
    // quantised (as a restored state does), then runs the change hook.
    void SetParameter(int index, double value);
    double ParameterValue(int index) const;
    std::string ParameterName(int index) const;
    // The parameter's value as the plug-in displays it, e.g. "12.0 dB" or "on".
    std::string ParameterText(int index) const;
    int ParameterCount() const;

    // The driven plug-in, for inspection.
    const Kestrom& Plugin() const { return *plug_; }

    // Processes `frames` frames (at most the prepared maximum) from `inputs`
    // into `outputs`, one buffer per prepared channel. Returns the value handed
    // to the meter at the end of the block, or none.
    std::optional<double> RunBlock(const float* const* inputs, float* const* outputs, int frames);

private:
    std::unique_ptr<Kestrom> plug_;
    std::shared_ptr<MeterReading> meter_;
    int channels_ = 0;
};

}  // namespace kestrom::tool
