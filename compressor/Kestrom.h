#pragma once

#include "bridge/IPlugRTAS.h"
#include "compressor/KestromParams.h"
#include "compressor/KestromProcessor.h"

// The Kestrom compressor plug-in: its identity, its seven parameters, its editor, its one
// preset, and the three hooks through which the processing runs.
class Kestrom : public IPlugRTAS {
public:
    // Four-character codes, first character in the most significant byte.
    static constexpr int32_t kUniqueId = ('K' << 24) | ('s' << 16) | ('T' << 8) | '2';
    static constexpr int32_t kVendorId = ('T' << 24) | ('b' << 16) | ('R' << 8) | 'k';
    static constexpr int32_t kVersion = 0x00020000;  // 2.0.0
    static constexpr const char* kChannelConfigs = "1-1 2-2";

    Kestrom();
    ~Kestrom() override;

    // Called by the host layer (UI thread) after it set the sample rate and
    // the connections, before audio runs; takes the lock. Recomputes the
    // rate-dependent meter coefficients; audio state carries on.
    void HandleReset() override;
    // Called after a parameter changed, lock held (taken again): asks the
    // editor to redraw. The processing picks the value up at the next block.
    void HandleParamChange(int index) override;
    // Called by the processing entry on the host's audio thread with the lock
    // held. Runs the compressor (stereo when input 1 is connected) and, with
    // Power on, hands the needle position to the editor.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    // One meter for the host: the gain reduction, as the editor's needle
    // shows it (0 none, 1 the meter's 22 dB full scale).
    int MeterCount() const override { return 1; }
    int MeterDisplayIndex(int meter) const override { return meter == 0 ? kestrom::kMeterIndex : -1; }

    const kestrom::KestromProcessor& Processor() const { return processor; }
    // How many input samples, over the plug-in's life, were infinite or NaN
    // and were processed as 0. Takes the lock, so any thread may ask.
    long long ReplacedInputSamples();

private:
    kestrom::KestromSettings ReadSettings() const;

    kestrom::KestromProcessor processor;
};
