#include "tools/kestrom/InfoCommand.h"

#include <cstdio>
#include <string>

#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"
#include "tools/kestrom/CommandLine.h"

namespace kestrom::tool {

namespace {

constexpr int32_t kInfoSampleRate = 48000;
constexpr int kNameWidths[] = {31, 8, 4};
constexpr int kValueWidth = 31;

// A four-character code as 'abcd' and in hexadecimal.
std::string FourCC(int32_t code) {
    const auto u = static_cast<uint32_t>(code);
    char text[32];
    std::snprintf(text, sizeof text, "'%c%c%c%c' (0x%08X)", static_cast<char>(u >> 24), static_cast<char>(u >> 16),
                  static_cast<char>(u >> 8), static_cast<char>(u), u);
    return text;
}

// "long\nshort\ncode" as "long, short, code".
std::string Forms(const char* names) {
    std::string text = names;
    for (std::size_t i = 0; (i = text.find('\n', i)) != std::string::npos;) text.replace(i, 1, ", ");
    return text;
}

const char* ClassName(int32_t controlClass) {
    switch (controlClass) {
        case PI_ControlDiscrete:
            return "discrete";
        case PI_ControlList:
            return "list";
        case PI_ControlOnOff:
            return "on/off";
        case PI_ControlLinear:
            return "linear";
        default:
            return "other";
    }
}

void PrintControls(const kestrom::host::HostedPlugin& plugin, std::ostream& out) {
    out << "controls (" << plugin.ControlCount() << "):\n";
    for (int c = 1; c <= plugin.ControlCount(); ++c) {
        PI_ControlInfo info{};
        if (!plugin.ControlInfo(c, info)) continue;
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", info.minimum, info.maximum);
        out << "  " << c << ". " << plugin.ControlName(c, kNameWidths[0]) << "\n"
            << "     ID " << FourCC(info.id) << ", " << ClassName(info.controlClass)
            << (info.isMasterBypass ? ", master bypass" : "") << (info.automatable ? ", automatable" : "") << "\n"
            << "     names: ";
        for (int w = 0; w < 3; ++w) {
            out << (w > 0 ? " / " : "") << "\"" << plugin.ControlName(c, kNameWidths[w]) << "\" (" << kNameWidths[w]
                << ")";
        }
        out << "\n     range " << range << ", " << info.stepCount << " steps, default \""
            << plugin.ValueText(c, info.defaultValue, kValueWidth) << "\", now \""
            << plugin.ValueText(c, plugin.ControlValue(c), kValueWidth) << "\"\n";
    }
}

}  // namespace

int RunInfo(const std::string& modulePath, Console& console) {
    const std::string path = modulePath.empty() ? kestrom::host::ModuleHost::DefaultModulePath() : modulePath;
    kestrom::host::ModuleHost module;
    std::string error;
    if (!module.Load(path, error)) {
        console.err << "kestrom: " << error << std::endl;
        return kExitFailure;
    }
    const PI_GroupInfo& g = module.Group();
    std::ostream& out = console.out;
    out << "module:    " << path << "\n"
        << "maker:     " << Forms(g.makerNames) << "; ID " << FourCC(g.makerId) << "\n"
        << "product:   " << Forms(g.productNames) << "; ID " << FourCC(g.productId) << ", version "
        << g.productVersion << "\n"
        << "category:  " << g.category << " (code " << g.categoryCode << ")\n"
        << "types:\n";
    int stereoType = 0;
    for (int i = 0; i < module.EffectTypeCount(); ++i) {
        PI_EffectTypeInfo t{};
        if (!module.EffectType(i, t)) continue;
        out << "  " << FourCC(t.typeId) << " " << Forms(t.names) << ": " << t.inputChannels << " in, "
            << t.outputChannels << " out; stem formats " << t.inputStemFormat << " and " << t.outputStemFormat << "\n";
        if (t.inputChannels == 2) stereoType = t.typeId;
    }
    kestrom::host::HostedPlugin plugin(module);
    PI_EffectTypeInfo first{};
    const int32_t typeId = stereoType != 0 ? stereoType : (module.EffectType(0, first) ? first.typeId : 0);
    if (!plugin.Create(typeId, kInfoSampleRate, error)) {
        console.err << "kestrom: " << error << std::endl;
        return kExitFailure;
    }
    PrintControls(plugin, out);
    out << std::flush;
    return kExitOk;
}

}  // namespace kestrom::tool
