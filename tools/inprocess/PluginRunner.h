#pragma once

#include <memory>
#include <optional>
#include <string>

class IGraphics;
class IGraphicsHeadless;
class Kestrom;

namespace kestrom::tool {

// Drives one Kestrom instance the way a host does: sample rate, block size,
// channel connections and reset first, then every block through the plug-in
// base's processing entry (AttachInputs, AttachOutputs, RunBlock) under the
// plug-in's lock.
//
// The plug-in keeps the editor it built for itself, so what the processing
// hands to the meter lands where it does in a host: in the editor's mailbox
// for the needle. The runner reads it back from there without taking it
// (IGraphics::PeekDisplayValue): the mailbox counts its posts, so comparing
// the count before and after a block tells whether that block handed a value
// over, and the value read is exactly the one it handed over (the tool has one
// thread; nothing else posts). The editor still applies the value at its next
// timer tick, which is how `--editor-png` shows the needle where the audio
// left it.
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
    // quantised (as a restored state does), tells the editor as the host
    // bridge does, then runs the change hook.
    void SetParameter(int index, double value);
    double ParameterValue(int index) const;
    std::string ParameterName(int index) const;
    // The parameter's value as the plug-in displays it, e.g. "12.0 dB" or "on".
    std::string ParameterText(int index) const;
    int ParameterCount() const;

    // The driven plug-in, for inspection.
    const Kestrom& Plugin() const { return *plug_; }
    // The plug-in's own editor in the display-less window layer, or null when
    // it has none (its window is not opened here).
    IGraphicsHeadless* Editor();

    // Processes `frames` frames (at most the prepared maximum) from `inputs`
    // into `outputs`, one buffer per prepared channel. Returns the value handed
    // to the meter at the end of the block, or none.
    std::optional<double> RunBlock(const float* const* inputs, float* const* outputs, int frames);

private:
    IGraphics* Graphics();

    std::unique_ptr<Kestrom> plug_;
    int channels_ = 0;
};

}  // namespace kestrom::tool
