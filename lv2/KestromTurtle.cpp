#include "lv2/KestromTurtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "compressor/Kestrom.h"
#include "lv2/KestromLv2Layout.h"

using namespace kestrom;
using namespace kestrom::lv2;

namespace {

constexpr const char* kPrefixes =
    "@prefix atom:   <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz:  <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap:   <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:   <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:    <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:   <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:   <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:   <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state:  <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:     <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units:  <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:   <http://lv2plug.in/ns/ext/urid#> .\n"
    "\n";

// The gain-reduction and latency outputs.
constexpr const char* kGainReductionSymbol = "gain_reduction";
constexpr const char* kGainReductionName = "Gain Reduction";
constexpr const char* kLatencySymbol = "latency";
constexpr const char* kLatencyName = "Latency";
// Largest latency the port's range admits (the plug-in reports 0).
constexpr double kLatencyRangeMaximum = 65536.0;

struct AudioPort {
    const char* symbol;
    const char* name;
};
constexpr AudioPort kMonoInputs[] = {{"input", "Input"}};
constexpr AudioPort kMonoOutputs[] = {{"output", "Output"}};
constexpr AudioPort kStereoInputs[] = {{"input_l", "Input L"}, {"input_r", "Input R"}};
constexpr AudioPort kStereoOutputs[] = {{"output_l", "Output L"}, {"output_r", "Output R"}};

const AudioPort* Inputs(int channels) { return channels == 1 ? kMonoInputs : kStereoInputs; }
const AudioPort* Outputs(int channels) { return channels == 1 ? kMonoOutputs : kStereoOutputs; }

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\') out += '\\';
        out += *p;
    }
    return out + "\"";
}

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

std::string ControlInputPort(int index) {
    const ParamDef& def = kParamTable[index];
    std::string s;
    s += "        a lv2:InputPort , lv2:ControlPort ;\n";
    s += "        lv2:index " + std::to_string(index) + " ;\n";
    s += "        lv2:symbol " + Quoted(KestromTurtle::Symbol(def).c_str()) + " ;\n";
    s += "        lv2:name " + Quoted(def.name) + " ;\n";
    s += "        lv2:default " + KestromTurtle::Number(def.defaultValue) + " ;\n";
    s += "        lv2:minimum " + KestromTurtle::Number(def.minimum) + " ;\n";
    s += "        lv2:maximum " + KestromTurtle::Number(def.maximum);
    if (def.kind == IPlugParam::Switch) s += " ;\n        lv2:portProperty lv2:toggled";
    const char* unit = KestromTurtle::UnitTerm(def.unit);
    if (unit != nullptr && *unit) s += std::string(" ;\n        units:unit ") + unit;
    return s + "\n";
}

std::string GainReductionPort() {
    return std::string("        a lv2:OutputPort , lv2:ControlPort ;\n") +
           "        lv2:index " + std::to_string(kGainReductionPort) + " ;\n" +
           "        lv2:symbol " + Quoted(kGainReductionSymbol) + " ;\n" +
           "        lv2:name " + Quoted(kGainReductionName) + " ;\n" +
           "        lv2:default " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:minimum " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:maximum " + KestromTurtle::Number(kMeterFullScaleDb) + " ;\n" +
           "        units:unit units:db\n";
}

std::string LatencyPort() {
    return std::string("        a lv2:OutputPort , lv2:ControlPort ;\n") +
           "        lv2:index " + std::to_string(kLatencyPort) + " ;\n" +
           "        lv2:symbol " + Quoted(kLatencySymbol) + " ;\n" +
           "        lv2:name " + Quoted(kLatencyName) + " ;\n" +
           "        lv2:default 0 ;\n" +
           "        lv2:minimum 0 ;\n" +
           "        lv2:maximum " + std::to_string(static_cast<long>(kLatencyRangeMaximum)) + " ;\n" +
           "        lv2:designation lv2:latency ;\n" +
           "        lv2:portProperty lv2:reportsLatency , lv2:integer , pprops:notOnGUI ;\n" +
           "        units:unit units:frame\n";
}

// The host's bypass: hosts that know the designation make it their bypass
// button (and may hide it as a control).
std::string EnabledPortText(int channels) {
    return std::string("        a lv2:InputPort , lv2:ControlPort ;\n") +
           "        lv2:index " + std::to_string(EnabledPort(channels)) + " ;\n" +
           "        lv2:symbol " + Quoted(kEnabledSymbol) + " ;\n" +
           "        lv2:name " + Quoted(kEnabledName) + " ;\n" +
           "        rdfs:comment " +
           Quoted("The host's bypass. Off passes the input through unchanged, bit for bit, after a short "
                  "crossfade; the compressor pauses until it is on again.") +
           " ;\n" +
           "        lv2:default " + KestromTurtle::Number(1.0) + " ;\n" +
           "        lv2:minimum " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:maximum " + KestromTurtle::Number(1.0) + " ;\n" +
           "        lv2:designation lv2:enabled ;\n" +
           "        lv2:portProperty lv2:toggled\n";
}

std::string AudioPortText(const char* direction, uint32_t index, const AudioPort& port) {
    return std::string("        a lv2:") + direction + " , lv2:AudioPort ;\n" +
           "        lv2:index " + std::to_string(index) + " ;\n" +
           "        lv2:symbol " + Quoted(port.symbol) + " ;\n" +
           "        lv2:name " + Quoted(port.name) + "\n";
}

std::string PluginText(const PluginVariant& v) {
    std::string ports[PortCount(2)];
    for (int i = 0; i < kNumParams; ++i) ports[i] = ControlInputPort(i);
    ports[kGainReductionPort] = GainReductionPort();
    ports[kLatencyPort] = LatencyPort();
    for (int c = 0; c < v.channels; ++c) {
        ports[AudioInputPort(c)] = AudioPortText("InputPort", AudioInputPort(c), Inputs(v.channels)[c]);
        ports[AudioOutputPort(v.channels, c)] =
            AudioPortText("OutputPort", AudioOutputPort(v.channels, c), Outputs(v.channels)[c]);
    }
    ports[EnabledPort(v.channels)] = EnabledPortText(v.channels);

    const int minor = (Kestrom::kVersion >> 8) & 0xFF;
    const int micro = Kestrom::kVersion & 0xFF;
    std::string s = Uri(v.uri) + "\n";
    s += "    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n";
    s += "    doap:name " + Quoted(v.name) + " ;\n";
    s += "    doap:maintainer [\n        foaf:name " + Quoted(kMakerName) + "\n    ] ;\n";
    s += "    rdfs:comment " +
         Quoted(v.channels == 1 ? "Kestrom compressor, one channel." : "Kestrom compressor, two channels.") +
         " ;\n";
    s += "    lv2:minorVersion " + std::to_string(minor) + " ;\n";
    s += "    lv2:microVersion " + std::to_string(micro) + " ;\n";
    s += "    lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n";
    s += "    opts:supportedOption bufsz:maxBlockLength ;\n";
    s += "    lv2:extensionData state:interface ;\n";
    s += "    ui:ui " + Uri(kUiUri) + " ;\n";
    s += "    lv2:port [\n";
    for (uint32_t p = 0; p < PortCount(v.channels); ++p) {
        s += ports[p];
        s += p + 1 < PortCount(v.channels) ? "    ] , [\n" : "    ] .\n";
    }
    return s;
}

// The editor: an X11 child window of ui:parent, redrawn from the host's idle
// calls, told the meter's value through the gain-reduction port.
std::string UiText() {
    std::string s = Uri(kUiUri) + "\n";
    s += "    a ui:X11UI ;\n";
    s += "    lv2:requiredFeature ui:parent ;\n";
    s += "    lv2:optionalFeature ui:idleInterface , ui:resize , ui:touch , ui:noUserResize ;\n";
    s += "    lv2:extensionData ui:idleInterface ;\n";
    s += "    ui:portNotification [\n";
    for (int v = 0; v < kVariantCount; ++v) {
        s += "        ui:plugin " + Uri(kVariants[v].uri) + " ;\n";
        s += "        lv2:symbol " + Quoted(kGainReductionSymbol) + " ;\n";
        s += "        ui:protocol ui:floatProtocol\n";
        s += v + 1 < kVariantCount ? "    ] , [\n" : "    ] .\n";
    }
    return s;
}

// The port table's cells.
std::string Cell(double value) {
    std::string n = KestromTurtle::Number(value);
    if (n.size() > 2 && n.compare(n.size() - 2, 2, ".0") == 0) n.resize(n.size() - 2);
    return n;
}

}  // namespace

std::string KestromTurtle::Symbol(const ParamDef& def) {
    std::string symbol = def.cliName;
    for (char& c : symbol)
        if (c == '-') c = '_';
    return symbol;
}

const char* KestromTurtle::UnitTerm(const char* unit) {
    if (unit == nullptr || *unit == '\0') return "";
    if (std::strcmp(unit, "dB") == 0) return "units:db";
    return nullptr;
}

std::string KestromTurtle::Number(double value) {
    char text[400];
    const double magnitude = std::fabs(value);
    if (std::isfinite(value) && (magnitude == 0.0 || (magnitude >= 1e-6 && magnitude < 1e15))) {
        // Plain decimals, as few places as read back exactly.
        for (int places = 0; places <= 21; ++places) {
            std::snprintf(text, sizeof text, "%.*f", places, value);
            if (std::strtod(text, nullptr) == value) break;
        }
    } else {
        std::snprintf(text, sizeof text, "%.17g", value);
    }
    std::string s = text;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

bool KestromTurtle::Check(std::string& error) {
    std::set<std::string> symbols = {kGainReductionSymbol, kLatencySymbol, kEnabledSymbol};
    for (int v = 0; v < kVariantCount; ++v) {
        for (int c = 0; c < kVariants[v].channels; ++c) {
            symbols.insert(Inputs(kVariants[v].channels)[c].symbol);
            symbols.insert(Outputs(kVariants[v].channels)[c].symbol);
        }
    }
    for (int i = 0; i < kNumParams; ++i) {
        const ParamDef& def = kParamTable[i];
        const std::string symbol = Symbol(def);
        const std::string which = "parameter " + std::to_string(i) + " (" + def.name + ")";
        if (UnitTerm(def.unit) == nullptr) {
            error = which + ": no LV2 unit for '" + def.unit + "'";
            return false;
        }
        bool identifier = !symbol.empty() && !std::isdigit(static_cast<unsigned char>(symbol[0]));
        for (char c : symbol) identifier = identifier && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!identifier) {
            error = which + ": '" + symbol + "' is no port symbol";
            return false;
        }
        if (!symbols.insert(symbol).second) {
            error = which + ": symbol '" + symbol + "' is taken";
            return false;
        }
        if (!(def.minimum < def.maximum) || def.defaultValue < def.minimum || def.defaultValue > def.maximum) {
            error = which + ": range or default out of order";
            return false;
        }
        if (def.kind != IPlugParam::Switch && def.kind != IPlugParam::Continuous) {
            error = which + ": only switches and continuous parameters become ports";
            return false;
        }
    }
    return true;
}

std::string KestromTurtle::Manifest(const std::string& binaryName) {
    std::string s = kPrefixes;
    for (const PluginVariant& v : kVariants) {
        s += Uri(v.uri) + "\n    a lv2:Plugin ;\n    lv2:binary <" + binaryName + "> ;\n    rdfs:seeAlso <" +
             kPluginsFile + "> .\n\n";
    }
    s += Uri(kUiUri) + "\n    a ui:X11UI ;\n    ui:binary <" + binaryName + "> ;\n    rdfs:seeAlso <" + kPluginsFile +
         "> .\n\n";
    for (const PluginVariant& v : kVariants) {
        s += Uri(v.presetUri) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri(v.uri) + " ;\n    rdfs:seeAlso <" +
             kPresetsFile + "> .\n\n";
    }
    return s;
}

std::string KestromTurtle::Plugins() {
    std::string s = kPrefixes;
    for (int v = 0; v < kVariantCount; ++v) {
        if (v > 0) s += "\n";
        s += PluginText(kVariants[v]);
    }
    return s + "\n" + UiText();
}

std::string KestromTurtle::Presets() {
    std::string s = kPrefixes;
    for (int v = 0; v < kVariantCount; ++v) {
        if (v > 0) s += "\n";
        s += Uri(kVariants[v].presetUri) + "\n";
        s += "    a pset:Preset ;\n";
        s += "    lv2:appliesTo " + Uri(kVariants[v].uri) + " ;\n";
        s += "    rdfs:label " + Quoted(kDefaultPresetLabel) + " ;\n";
        s += "    lv2:port [\n";
        for (int i = 0; i < kNumParams; ++i) {
            s += "        lv2:symbol " + Quoted(Symbol(kParamTable[i]).c_str()) + " ;\n";
            s += "        pset:value " + Number(kParamTable[i].defaultValue) + "\n";
            s += i + 1 < kNumParams ? "    ] , [\n" : "    ] .\n";
        }
    }
    return s;
}

std::string KestromTurtle::PortTable() {
    std::string s = "| port | symbol | name | kind | minimum | maximum | default | unit, role |\n";
    s += "|---|---|---|---|---|---|---|---|\n";
    for (int i = 0; i < kNumParams; ++i) {
        const ParamDef& def = kParamTable[i];
        const bool toggle = def.kind == IPlugParam::Switch;
        std::string role = *def.unit ? def.unit : "";
        if (toggle) role = "toggle (on above 0)";
        s += "| " + std::to_string(i) + " | `" + Symbol(def) + "` | " + def.name + " | control in | " +
             Cell(def.minimum) + " | " + Cell(def.maximum) + " | " + Cell(def.defaultValue) + " | " + role + " |\n";
    }
    s += "| " + std::to_string(kGainReductionPort) + " | `" + kGainReductionSymbol + "` | " + kGainReductionName +
         " | control out | 0 | " + Cell(kMeterFullScaleDb) + " | 0 | dB of gain reduction, as the meter shows it |\n";
    s += "| " + std::to_string(kLatencyPort) + " | `" + kLatencySymbol + "` | " + kLatencyName +
         " | control out | 0 | " + Cell(kLatencyRangeMaximum) +
         " | 0 | frames; always 0 (`lv2:reportsLatency`) |\n";
    for (const PluginVariant& v : kVariants) {
        const char* which = v.channels == 1 ? "mono" : "stereo";
        for (int c = 0; c < v.channels; ++c)
            s += "| " + std::to_string(AudioInputPort(c)) + " | `" + Inputs(v.channels)[c].symbol + "` | " +
                 Inputs(v.channels)[c].name + " | audio in (" + which + ") | | | | |\n";
        for (int c = 0; c < v.channels; ++c)
            s += "| " + std::to_string(AudioOutputPort(v.channels, c)) + " | `" + Outputs(v.channels)[c].symbol +
                 "` | " + Outputs(v.channels)[c].name + " | audio out (" + which + ") | | | | |\n";
    }
    for (const PluginVariant& v : kVariants)
        s += "| " + std::to_string(EnabledPort(v.channels)) + " | `" + kEnabledSymbol + "` | " + kEnabledName +
             " | control in (" + (v.channels == 1 ? "mono" : "stereo") +
             ") | 0 | 1 | 1 | toggle (on above 0); the host's bypass (`lv2:enabled`): off is the input, bit for bit |\n";
    return s;
}
