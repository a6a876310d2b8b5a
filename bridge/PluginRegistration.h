#pragma once

#include <cstdint>

class IPlugRTAS;

// Everything the module entry tells the host about the effect it carries,
// and how to make one: the maker and product, the category, one effect type
// per channel configuration with its ID, and the host's option codes. The
// effect defines the one instance (ModuleRegistration) in its own sources;
// the module entry and the group read it.
struct PluginRegistration {
    const char* makerNames;      // "long\nshort\ncode"
    int32_t makerId;
    const char* productNames;    // "long\nshort"
    int32_t productVersion;      // given to the group
    int32_t productId;           // also every process's ID and its state chunk's ID
    const char* category;        // a category text, e.g. "Dynamics"
    const char* channelConfigs;  // e.g. "1-1 2-2"
    const int32_t* typeIds;      // one per configuration that parses, in order
    int typeIdCount;
    const char* typeNames;       // the same for every type
    int32_t groupOption;         // the group's option code
    int32_t typeProperty;        // the types' general property
    const int32_t* typeOptions;  // the types' option codes
    int typeOptionCount;
    // Makes a new, fully constructed effect (called under the module's
    // creation lock), or null when memory ran out.
    IPlugRTAS* (*makePlugin)();
};

// The registration of the effect this module is built with.
const PluginRegistration& ModuleRegistration();
