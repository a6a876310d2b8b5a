#pragma once

#include <cstdint>

#include "compressor/KestromParams.h"

// What the LV2 bundle is made of, shared by the plug-in binary and the program
// that writes the bundle's Turtle: the two plug-ins (mono and stereo), their
// URIs, and the order of their ports. Both plug-ins have the same ports but
// for the number of audio channels:
//
//   0 .. 6   the seven parameters, port i = parameter i (control inputs)
//   7        gain reduction in dB (control output)
//   8        latency in frames (control output)
//   9 ..     audio inputs, then audio outputs (one each mono, two each stereo)
//   last     the host's bypass, `enabled` (control input; 11 mono, 13 stereo)
//
// Ports only ever get added at the end: hosts keep port indices in sessions.
namespace kestrom::lv2 {

struct PluginVariant {
    const char* uri;
    const char* name;        // doap:name
    int channels;            // 1 or 2
    const char* presetUri;   // the plug-in's default preset
};

constexpr PluginVariant kVariants[] = {
    {"urn:tollbrink:kestrom:mono", "Kestrom Mono", 1, "urn:tollbrink:kestrom:mono:preset:default"},
    {"urn:tollbrink:kestrom:stereo", "Kestrom Stereo", 2, "urn:tollbrink:kestrom:stereo:preset:default"},
};
constexpr int kVariantCount = static_cast<int>(sizeof kVariants / sizeof kVariants[0]);

// The editor (ui:X11UI) of both plug-ins, in a binary of its own.
constexpr const char* kUiUri = "urn:tollbrink:kestrom:ui";

// The maker, as the plug-in names itself.
constexpr const char* kMakerName = "Tollbrink";

// The state property that holds the parameter state bytes (the values in index
// order, as the plug-in saves them), stored as an atom:Chunk.
constexpr const char* kStateUri = "urn:tollbrink:kestrom:state";

// Label of the default preset in hosts' preset menus.
constexpr const char* kDefaultPresetLabel = "Default";

constexpr uint32_t kGainReductionPort = kNumParams;
constexpr uint32_t kLatencyPort = kNumParams + 1;
constexpr uint32_t kFirstAudioPort = kNumParams + 2;

constexpr uint32_t AudioInputPort(int channel) { return kFirstAudioPort + static_cast<uint32_t>(channel); }
constexpr uint32_t AudioOutputPort(int channels, int channel) {
    return kFirstAudioPort + static_cast<uint32_t>(channels + channel);
}
// The host's bypass switch (lv2:enabled): 1 processes, 0 passes the input
// through untouched. It comes after the audio ports, which were there first.
constexpr uint32_t EnabledPort(int channels) { return kFirstAudioPort + 2 * static_cast<uint32_t>(channels); }
constexpr const char* kEnabledSymbol = "enabled";
constexpr const char* kEnabledName = "Enabled";
constexpr uint32_t PortCount(int channels) { return EnabledPort(channels) + 1; }

}  // namespace kestrom::lv2
