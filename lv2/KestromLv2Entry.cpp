// The DSP binary's (kestrom.so) one export, lv2_descriptor: the mono and the
// stereo plug-in, each a KestromLv2Plugin behind the C callbacks hosts call.
// Nothing thrown inside crosses back into the host.
#include <cstring>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "lv2/KestromLv2Layout.h"
#include "lv2/KestromLv2Plugin.h"

namespace {

KestromLv2Plugin* Instance(LV2_Handle handle) { return static_cast<KestromLv2Plugin*>(handle); }

int ChannelsOf(const LV2_Descriptor* descriptor) {
    if (descriptor == nullptr || descriptor->URI == nullptr) return 0;
    for (const kestrom::lv2::PluginVariant& v : kestrom::lv2::kVariants)
        if (std::strcmp(v.uri, descriptor->URI) == 0) return v.channels;
    return 0;
}

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
    try {
        return KestromLv2Plugin::Create(ChannelsOf(descriptor), sampleRate, features).release();
    } catch (...) {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Instance(handle)->ConnectPort(port, data); }
void Activate(LV2_Handle handle) { Instance(handle)->Activate(); }
void Run(LV2_Handle handle, uint32_t frames) { Instance(handle)->Run(frames); }
void Deactivate(LV2_Handle) {}
void Cleanup(LV2_Handle handle) { delete Instance(handle); }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
    return Instance(handle)->Save(store, state);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                         uint32_t, const LV2_Feature* const*) {
    return Instance(handle)->Restore(retrieve, state);
}

const LV2_State_Interface kStateInterface = {Save, Restore};

const void* ExtensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
    return nullptr;
}

constexpr LV2_Descriptor MakeDescriptor(const kestrom::lv2::PluginVariant& variant) {
    return {variant.uri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData};
}

const LV2_Descriptor kDescriptors[] = {MakeDescriptor(kestrom::lv2::kVariants[0]),
                                       MakeDescriptor(kestrom::lv2::kVariants[1])};
static_assert(sizeof kDescriptors / sizeof kDescriptors[0] == kestrom::lv2::kVariantCount,
              "one descriptor per plug-in of the bundle");

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < static_cast<uint32_t>(kestrom::lv2::kVariantCount) ? &kDescriptors[index] : nullptr;
}
