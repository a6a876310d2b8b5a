#include "hostlib/CEffectType.h"

#include <cstring>

#include "hostlib/CDAEError.h"
#include "hostlib/CEffectProcess.h"

CEffectType::CEffectType(int32_t id, int32_t product, int32_t category)
    : typeId(id), productId(product), categoryCode(category) {}

CEffectType::~CEffectType() = default;

void CEffectType::SetNames(const char* text) { names = text ? text : ""; }

void CEffectType::SetStemFormats(int32_t input, int32_t output, int32_t sideChain) {
    inputStemFormat = input;
    outputStemFormat = output;
    sideChainStemFormat = sideChain;
}

void CEffectType::AddOptionCode(int32_t code) { options.push_back(code); }

bool CEffectType::OptionAt(int32_t index, int32_t* code) const {
    if (index < 0 || index >= OptionCount() || !code) return false;
    *code = options[static_cast<std::size_t>(index)];
    return true;
}

std::unique_ptr<CEffectProcess> CEffectType::CreateProcess() const {
    if (!creator) throw CDAEError(PI_ErrUnsupported);
    std::unique_ptr<CEffectProcess> process(creator());
    if (!process) return nullptr;
    if (!RunsProcess(*process)) throw CDAEError(PI_ErrInternal);
    process->BindType(*this);
    return process;
}

bool CEffectType::RunsProcess(const CEffectProcess&) const { return true; }

int32_t CEffectType::ChannelsOfStemFormat(int32_t stemFormat) {
    switch (stemFormat) {
        case 0: return 1;
        case 1: return 2;
        case 2: return 3;
        case 3: return 4;
        case 5: return 5;
        case 6: return 6;
        case 8: return 7;
        case 12: return 8;
        default: return 0;
    }
}

const char* CEffectType::CategoryName(int32_t categoryCode) {
    struct Category {
        int32_t code;
        const char* name;
    };
    static constexpr Category kCategories[] = {
        {0, "None"},        {1, "EQ"},          {2, "Dynamics"},  {4, "PitchShift"},
        {8, "Reverb"},      {16, "Delay"},      {32, "Modulation"}, {64, "Harmonic"},
        {128, "NoiseReduction"}, {256, "Dither"}, {512, "SoundField"}, {8192, "Effect"},
    };
    for (const Category& c : kCategories)
        if (c.code == categoryCode) return c.name;
    return "";
}
