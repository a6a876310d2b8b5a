#pragma once

#include <cstdint>

#include "hostlib/CEffectGroup.h"

struct PluginRegistration;

// The module's one effect group: the maker and product of the registration,
// one real-time effect type per channel configuration, and the editor's view
// class. Built, initialised and destroyed by the module entry on the host's
// user-interface thread.
class IPlugGroup : public CEffectGroup {
public:
    static constexpr const char* kViewClassName = "IPlugDigiView";

    explicit IPlugGroup(const PluginRegistration& registration);
    // Called by the module's destroy step (last close), UI thread.
    ~IPlugGroup() override;

    // Called once by NewPlugIn (UI thread, no lock): the host library's
    // initialisation (which calls CreateEffectTypes), then the editor's view
    // class is registered under kViewClassName. May throw CDAEError.
    void Initialize() override;
    // Called by the host library's initialisation, once: one CEffectTypeRTAS
    // per configuration token of the form "%d-%d". May throw.
    void CreateEffectTypes() override;
    // The engine's version, packed as the plug-in base takes it.
    int32_t HostVersion() override;

    // The category's code: the first exact match in the host's table, else 8192.
    static int32_t CategoryCode(const char* category);
    // The stem format for a channel count (0 mono, 1 stereo, ... -1 none).
    static int32_t StemFormatForChannels(int channels);

private:
    const PluginRegistration& registration;
};
