#include "bridge/IPlugGroup.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "bridge/HostEngine.h"
#include "bridge/IPlugDigiView.h"
#include "bridge/IPlugProcessRTAS.h"
#include "bridge/PluginRegistration.h"
#include "hostlib/CEffectTypeRTAS.h"

namespace {

struct Category {
    const char* text;
    int32_t code;
};
constexpr Category kCategories[] = {
    {"None", 0},       {"EQ", 1},          {"Dynamics", 2},        {"PitchShift", 4},
    {"Reverb", 8},     {"Delay", 16},      {"Modulation", 32},     {"Harmonic", 64},
    {"NoiseReduction", 128}, {"Dither", 256}, {"SoundField", 512}, {"Effect", 8192},
};
constexpr int32_t kUnknownCategory = 8192;

constexpr int32_t kStemFormats[] = {0, 1, 2, 3, 5, 6, 8, 12};  // for 1 .. 8 channels

CPlugInView* MakeDigiView() { return new IPlugDigiView(); }

}  // namespace

IPlugGroup::IPlugGroup(const PluginRegistration& reg) : registration(reg) {
    SetMakerNames(reg.makerNames);
    SetMakerId(reg.makerId);
    SetProductNames(reg.productNames);
    SetProductVersion(reg.productVersion);
    AddOptionCode(reg.groupOption);
}

IPlugGroup::~IPlugGroup() = default;

void IPlugGroup::Initialize() {
    CEffectGroup::Initialize();
    RegisterViewClass(kViewClassName, MakeDigiView);
}

int32_t IPlugGroup::CategoryCode(const char* category) {
    if (category == nullptr) return kUnknownCategory;
    for (const Category& c : kCategories)
        if (std::strcmp(c.text, category) == 0) return c.code;
    return kUnknownCategory;
}

int32_t IPlugGroup::StemFormatForChannels(int channels) {
    if (channels < 1 || channels > static_cast<int>(sizeof kStemFormats / sizeof kStemFormats[0])) return -1;
    return kStemFormats[channels - 1];
}

void IPlugGroup::CreateEffectTypes() {
    const int32_t categoryCode = CategoryCode(registration.category);
    const char* text = registration.channelConfigs ? registration.channelConfigs : "";
    int nextId = 0;
    // One token at a time; a token that does not read as "%d-%d" makes no
    // type, and the ID table advances only for those that do.
    for (const char* token = text; *token != '\0';) {
        int inputs = 0, outputs = 0;
        if (std::sscanf(token, "%d-%d", &inputs, &outputs) == 2 && nextId < registration.typeIdCount) {
            auto type = std::make_unique<CEffectTypeRTAS>(registration.typeIds[nextId++], registration.productId,
                                                          categoryCode);
            type->SetNames(registration.typeNames);
            type->SetGeneralProperty(registration.typeProperty);
            type->SetStemFormats(StemFormatForChannels(inputs), StemFormatForChannels(outputs), 0);
            for (int i = 0; i < registration.typeOptionCount; ++i) type->AddOptionCode(registration.typeOptions[i]);
            type->SetProcessCreator(IPlugProcessRTAS::Create);
            AddEffectType(type.release());
        }
        const char* space = std::strchr(token, ' ');
        if (space == nullptr) break;
        token = space + 1;
    }
}

int32_t IPlugGroup::HostVersion() { return HostEngine::PackedVersion(); }
