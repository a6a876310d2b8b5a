// What the module tells the host about Kestrom: Tollbrink's compressor in the
// "Dynamics" category, one real-time type per channel configuration (mono
// 'KsT1', stereo 'KsT2'), and how to make one.
#include "bridge/PluginRegistration.h"
#include "compressor/Kestrom.h"

namespace {

constexpr int32_t FourCC(char a, char b, char c, char d) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr int32_t kTypeIds[] = {FourCC('K', 's', 'T', '1'), FourCC('K', 's', 'T', '2')};
// The host's option codes, passed as they are.
constexpr int32_t kGroupOption = 14;
constexpr int32_t kTypeProperty = 6;
constexpr int32_t kTypeOptions[] = {8, 48, 55};

IPlugRTAS* MakeKestrom() { return new Kestrom(); }

const PluginRegistration kRegistration = {
    "Tollbrink\nTollbrink\nTbRk",
    Kestrom::kVendorId,
    "Kestrom\nKestrom",
    2,
    Kestrom::kUniqueId,
    "Dynamics",
    Kestrom::kChannelConfigs,
    kTypeIds,
    static_cast<int>(sizeof kTypeIds / sizeof kTypeIds[0]),
    "Kestrom\nKestrom",
    kGroupOption,
    kTypeProperty,
    kTypeOptions,
    static_cast<int>(sizeof kTypeOptions / sizeof kTypeOptions[0]),
    MakeKestrom,
};

}  // namespace

const PluginRegistration& ModuleRegistration() { return kRegistration; }
