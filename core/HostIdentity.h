#pragma once

#include <cstdint>

// Which host loaded the plug-in, which host interface it is built for, and
// the packed version numbers (major in the upper 16 bits, minor in bits 8-15,
// revision in bits 0-7).
namespace kestrom {

enum HostKind : int {
    kHostUninit = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostProTools = 2,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostVegas = 6,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyneStudio = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostGarageBand = 22,
    kHostDigitalPerformer = 23,
    kHostStandalone = 24,
    kHostAudioMulch = 25,
    kHostStudioOne = 26,
    kHostVST3TestHost = 27,
    kHostArdour = 28,
};

enum ApiKind : int { kApiVST2 = 0, kApiVST3 = 1, kApiAU = 2, kApiRTAS = 3, kApiAAX = 4, kApiSA = 5 };

constexpr int kHostDisplayNameSize = 19;  // longest name, "VST3PluginTestHost", and the terminator
constexpr int kVersionTextSize = 32;

// Host kind of an application name, by case-insensitive substring in a fixed order.
int MatchHostName(const char* name);
// Writes the display name of a host kind ("Unknown" for kinds without one).
void HostDisplayName(int kind, char* out, int outSize = kHostDisplayNameSize);
// "VST2", "VST3", "AU", "RTAS", "AAX", "Standalone", or "" for other values.
const char* ApiKindName(int apiKind);
const char* ArchitectureName();

struct VersionParts {
    int major;
    int minor;
    int revision;
};
VersionParts SplitVersion(int32_t packed);
int VersionAsDecimal(int32_t packed);
// "v%d.%d.%d" into out (at most outSize bytes, terminator included).
void FormatVersion(int32_t packed, char* out, int outSize = kVersionTextSize);

}  // namespace kestrom
