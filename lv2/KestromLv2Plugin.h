#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "compressor/KestromParams.h"

class IGraphics;
class Kestrom;

// One instance of the LV2 plug-in: a Kestrom object set up and driven as the
// host bridge drives it, so that the same settings and blocks give the same
// audio bit for bit.
//
// Set-up (Create): the buffers sized for the host's largest block, the
// channels of the variant connected, the sample rate passed and the reset hook
// run. Per run(): each control port whose value changed since run() or Save
// last looked at it is applied as a host control change (under the plug-in's lock, the
// parameter set and clamped to its range, the change hook run); the audio goes
// through the plug-in's processing entry (IPlugRTAS::ProcessHostBlock, which
// takes the lock) in blocks of at most the largest block; then the gain
// reduction the plug-in handed its editor's needle is read back, without
// taking it, into the gain-reduction port.
//
// The enabled port is the host's bypass and drives the plug-in's master
// bypass, as the module's bypass control does: at 0 the blocks go through
// IPlugRTAS::BypassHostBlock, so the output is the input bit for bit and the
// compressor does not run (its detector, smoothers and noise generators hold
// their state, and the needle stays where it was, until it is on again). A
// change while audio runs crossfades linearly between the processed and the
// dry signal over kBypassFadeSeconds, the compressor running throughout the
// fade; an instance whose port is 0 at its first run() after activation
// starts bypassed, with no fade.
//
// Threads: Create, Activate and the destructor on the host's instantiation
// side; ConnectPort and Run on its audio thread; Save and Restore on its
// user-interface side, both under the plug-in's lock, Save possibly while
// Run is running. Run allocates nothing and takes no lock but the plug-in's.
class KestromLv2Plugin {
public:
    // Largest block assumed when the host does not say (bufsz:maxBlockLength).
    static constexpr int kDefaultMaxBlock = 8192;
    // A larger announced block is held to this many frames.
    static constexpr int kMaxBlockLimit = 1 << 20;
    // Length of the crossfade when the host's bypass changes while audio runs.
    static constexpr double kBypassFadeSeconds = 0.010;

    // An instance for `channels` (1 or 2) at `sampleRate`, or null when the
    // channel count is not 1 or 2, the rate is not a positive finite number,
    // or the plug-in could not be made. `features` may be null; urid:map and
    // options (bufsz:maxBlockLength) are used when present.
    static std::unique_ptr<KestromLv2Plugin> Create(int channels, double sampleRate,
                                                    const LV2_Feature* const* features);
    ~KestromLv2Plugin();
    KestromLv2Plugin(const KestromLv2Plugin&) = delete;
    KestromLv2Plugin& operator=(const KestromLv2Plugin&) = delete;

    // Ports outside the layout are ignored.
    void ConnectPort(uint32_t port, void* data);
    // Runs the plug-in's reset hook (its rate-dependent coefficients); the
    // audio state carries on, as it does in every host.
    void Activate();
    // One host block of `frames` frames. A block of 0 frames applies the
    // control ports and updates the output ports, and processes nothing.
    // While an audio port is unconnected no audio is processed and the
    // connected outputs are silent.
    void Run(uint32_t frames);

    // The parameter state bytes (the plug-in's saved state, as the host chunk
    // carries it after its header) under the state key, as an atom:Chunk.
    // Control ports changed since the last run() are applied first, so the
    // state holds what the host has set even before any audio ran.
    // Needs urid:map at instantiation (LV2_STATE_ERR_NO_FEATURE without it).
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // Restores those bytes. A missing property, another type, or fewer bytes
    // than the parameters need (or not whole 8-byte values) is refused and
    // changes nothing; extra values after the parameters' are ignored. The
    // restored values count as applied: a control port that still holds the
    // value it held at the restore, or that holds a restored value's
    // single-precision form, leaves the exact value alone.
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    int Channels() const { return channels; }
    int MaxBlock() const { return maxBlock; }
    int BypassFadeFrames() const { return fadeFrames; }
    Kestrom& Plugin() { return *plug; }

private:
    KestromLv2Plugin(int channels, int maxBlock, double sampleRate);
    void MapUris(const LV2_URID_Map* map);
    void ApplyControlPorts();
    void RememberParameterValues();
    void RememberPortValues();
    void SilenceOutputs(uint32_t frames);
    void RunPiece(const float* const* in, float* const* out, int frames);

    std::unique_ptr<Kestrom> plug;
    // The plug-in's own editor, for the needle's value. It is never opened:
    // hosts show a KestromLv2Ui of their own (from the editor's binary), so
    // the values Run pushes into its controls on the audio thread meet no
    // other thread there but Save and Restore, which set them under the
    // plug-in's lock as Run does. This binary links the window-less layer for
    // it (graphics/windowless): no window system, pictures or fonts.
    const IGraphics* editor = nullptr;
    int channels;
    int maxBlock;

    // The host connects ports on its audio thread; Save reads them on another.
    std::atomic<const float*> controls[kestrom::kNumParams] = {};
    // Each control port's value when last looked at (under the plug-in's lock).
    float lastPortValue[kestrom::kNumParams] = {};
    const float* enabled = nullptr;
    float* gainReduction = nullptr;
    float* latency = nullptr;
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};

    // The bypass fade, audio thread only: fadePosition runs from 0 (processed)
    // to fadeFrames (dry), one step per frame toward the enabled port's side.
    int fadeFrames = 1;
    int fadePosition = 0;
    bool bypassed = false;     // the side the enabled port asks for
    bool startOnPort = true;   // the next run() starts on that side, no fade
    std::vector<float> dry;    // the input of a faded block, channel c at c * maxBlock

    LV2_URID stateKey = 0;   // 0: no urid:map
    LV2_URID chunkType = 0;
};
