#include "core/HostIdentity.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/FixedText.h"

namespace kestrom {

namespace {

struct HostEntry {
    const char* substring;
    int kind;
};

// Search order settles overlaps: the first substring found decides.
const HostEntry kHostSearch[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

struct DisplayEntry {
    int kind;
    const char* name;
};

const DisplayEntry kDisplayNames[] = {
    {kHostReaper, "Reaper"},
    {kHostProTools, "ProTools"},
    {kHostCubase, "Cubase"},
    {kHostNuendo, "Nuendo"},
    {kHostSonar, "Sonar"},
    {kHostVegas, "Vegas"},
    {kHostFL, "FLStudio"},
    {kHostSamplitude, "Samplitude"},
    {kHostAbletonLive, "Live"},
    {kHostVSTScanner, "VSTScanner"},
    {kHostAULab, "AULab"},
    {kHostForte, "Forte"},
    {kHostChainer, "Chainer"},
    {kHostAudition, "Audition"},
    {kHostOrion, "Orion"},
    {kHostSAWStudio, "SAWStudio"},
    {kHostLogic, "Logic"},
    {kHostGarageBand, "GarageBand"},
    {kHostDigitalPerformer, "DigitalPerformer"},
    {kHostStandalone, "Standalone"},
    {kHostAudioMulch, "AudioMulch"},
    {kHostStudioOne, "StudioOne"},
    {kHostVST3TestHost, "VST3PluginTestHost"},
    {kHostArdour, "Ardour"},
};

}  // namespace

int MatchHostName(const char* name) {
    // Lower-cased copy, cut at 255 characters rather than overrunning the buffer.
    char lower[256];
    CopyText(lower, name ? name : "");
    for (char* p = lower; *p; ++p) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    for (const HostEntry& entry : kHostSearch)
        if (std::strstr(lower, entry.substring)) return entry.kind;
    return kHostUnknown;
}

void HostDisplayName(int kind, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    const char* name = "Unknown";
    for (const DisplayEntry& entry : kDisplayNames)
        if (entry.kind == kind) name = entry.name;
    CopyText(out, static_cast<std::size_t>(outSize), name);
}

const char* ApiKindName(int apiKind) {
    switch (apiKind) {
        case kApiVST2: return "VST2";
        case kApiVST3: return "VST3";
        case kApiAU: return "AU";
        case kApiRTAS: return "RTAS";
        case kApiAAX: return "AAX";
        case kApiSA: return "Standalone";
        default: return "";
    }
}

const char* ArchitectureName() { return "x86"; }

VersionParts SplitVersion(int32_t packed) {
    const uint32_t bits = static_cast<uint32_t>(packed);
    return {static_cast<int>(bits / 65536u), static_cast<int>((bits >> 8) & 0xFF),
            static_cast<int>(bits & 0xFF)};
}

int VersionAsDecimal(int32_t packed) {
    const VersionParts v = SplitVersion(packed);
    return v.major * 10000 + v.minor * 100 + v.revision;
}

void FormatVersion(int32_t packed, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    const VersionParts v = SplitVersion(packed);
    std::snprintf(out, static_cast<std::size_t>(outSize), "v%d.%d.%d", v.major, v.minor, v.revision);
}

}  // namespace kestrom
