#include "lv2/KestromTurtle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "compressor/Kestrom.h"
#include "compressor/KestromVersion.h"
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
    "@prefix pg:     <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:   <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:   <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state:  <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:     <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units:  <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:   <http://lv2plug.in/ns/ext/urid#> .\n"
    "\n";

// The licence the plug-ins are released under (LICENSE).
constexpr const char* kLicenseUri = "http://opensource.org/licenses/MIT";

// What a host shows about each parameter port (rdfs:comment), in parameter
// order.
constexpr const char* kParamComments[] = {
    "Input gain in dB. Drives the compressor and at the same time moves its threshold, ratio, release and "
    "averaging together.",
    "Output gain in dB, after the compressor.",
    "Band-limits the detector to 220 ... 2250 Hz, so that bass and treble drive the compressor less.",
    "Slower, smoother detection: fixed attack, release and averaging times, whatever In is.",
    "Each channel is compressed by its own detector instead of both by the louder one.",
    "The negative-ratio curve: above the threshold, louder input gives quieter output.",
    "The plug-in's own on switch: off crossfades to the input, which still passes the output DC blocker.",
};
static_assert(sizeof kParamComments / sizeof kParamComments[0] == kNumParams, "one comment per parameter");

// The gain-reduction and latency outputs.
constexpr const char* kGainReductionSymbol = "gain_reduction";
constexpr const char* kGainReductionName = "Gain Reduction";
constexpr const char* kGainReductionComment = "Gain reduction in dB at the end of each block, as the meter shows it.";
constexpr const char* kLatencySymbol = "latency";
constexpr const char* kLatencyName = "Latency";
constexpr const char* kLatencyComment = "Latency in frames; always 0.";
// Largest latency the port's range admits (the plug-in reports 0).
constexpr double kLatencyRangeMaximum = 65536.0;

// An audio port; the stereo ones belong to the plug-in's stereo input or
// output group (pg:group), as its left or right channel (lv2:designation).
struct AudioPort {
    const char* symbol;
    const char* name;
    const char* comment;
    const char* designation;  // null: none
};
constexpr AudioPort kMonoInputs[] = {{"input", "Input", "Audio input.", nullptr}};
constexpr AudioPort kMonoOutputs[] = {{"output", "Output", "Audio output.", nullptr}};
constexpr AudioPort kStereoInputs[] = {{"input_l", "Input L", "Left audio input.", "pg:left"},
                                       {"input_r", "Input R", "Right audio input.", "pg:right"}};
constexpr AudioPort kStereoOutputs[] = {{"output_l", "Output L", "Left audio output.", "pg:left"},
                                        {"output_r", "Output R", "Right audio output.", "pg:right"}};

// The stereo plug-in's port groups: its main input and its main output.
struct PortGroup {
    const char* suffix;  // after the plug-in's URI
    const char* kind;    // pg:InputGroup or pg:OutputGroup
    const char* symbol;
    const char* label;
};
constexpr PortGroup kInputGroup = {":input", "pg:InputGroup", "stereo_in", "Stereo Input"};
constexpr PortGroup kOutputGroup = {":output", "pg:OutputGroup", "stereo_out", "Stereo Output"};

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

std::string GroupUri(const PluginVariant& v, const PortGroup& group) {
    return Uri((std::string(v.uri) + group.suffix).c_str());
}

// The statements every port begins with: its classes ("lv2:InputPort ,
// lv2:ControlPort"), index, symbol, name and the comment a host shows.
std::string PortHead(const char* classes, uint32_t index, const std::string& symbol, const char* name,
                     const char* comment) {
    return std::string("        a ") + classes + " ;\n" +
           "        lv2:index " + std::to_string(index) + " ;\n" +
           "        lv2:symbol " + Quoted(symbol.c_str()) + " ;\n" +
           "        lv2:name " + Quoted(name) + " ;\n" +
           "        rdfs:comment " + Quoted(comment);
}

std::string ControlInputPort(int index) {
    const ParamDef& def = kParamTable[index];
    std::string s = PortHead("lv2:InputPort , lv2:ControlPort", static_cast<uint32_t>(index),
                             KestromTurtle::Symbol(def), def.name, kParamComments[index]) + " ;\n";
    s += "        lv2:default " + KestromTurtle::Number(def.defaultValue) + " ;\n";
    s += "        lv2:minimum " + KestromTurtle::Number(def.minimum) + " ;\n";
    s += "        lv2:maximum " + KestromTurtle::Number(def.maximum);
    if (def.kind == IPlugParam::Switch) s += " ;\n        lv2:portProperty lv2:toggled";
    // A knob's steps as its host control counts them (0.1 dB for the gains).
    if (def.kind == IPlugParam::Continuous)
        s += " ;\n        pprops:rangeSteps " + std::to_string(KestromTurtle::RangeSteps(def));
    const char* unit = KestromTurtle::UnitTerm(def.unit);
    if (unit != nullptr && *unit) s += std::string(" ;\n        units:unit ") + unit;
    return s + "\n";
}

std::string GainReductionPort() {
    return PortHead("lv2:OutputPort , lv2:ControlPort", kGainReductionPort, kGainReductionSymbol,
                    kGainReductionName, kGainReductionComment) + " ;\n" +
           "        lv2:default " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:minimum " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:maximum " + KestromTurtle::Number(kMeterFullScaleDb) + " ;\n" +
           "        units:unit units:db\n";
}

std::string LatencyPort() {
    return PortHead("lv2:OutputPort , lv2:ControlPort", kLatencyPort, kLatencySymbol, kLatencyName,
                    kLatencyComment) + " ;\n" +
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
    return PortHead("lv2:InputPort , lv2:ControlPort", EnabledPort(channels), kEnabledSymbol, kEnabledName,
                    "The host's bypass. Off passes the input through unchanged, bit for bit, after a short "
                    "crossfade; the compressor pauses until it is on again.") +
           " ;\n" +
           "        lv2:default " + KestromTurtle::Number(1.0) + " ;\n" +
           "        lv2:minimum " + KestromTurtle::Number(0.0) + " ;\n" +
           "        lv2:maximum " + KestromTurtle::Number(1.0) + " ;\n" +
           "        lv2:designation lv2:enabled ;\n" +
           "        lv2:portProperty lv2:toggled\n";
}

// An audio port; `group` is its port group's URI, or empty for none.
std::string AudioPortText(const char* classes, uint32_t index, const AudioPort& port, const std::string& group) {
    std::string s = PortHead(classes, index, port.symbol, port.name, port.comment);
    if (!group.empty()) s += " ;\n        pg:group " + group;
    if (port.designation != nullptr) s += std::string(" ;\n        lv2:designation ") + port.designation;
    return s + "\n";
}

std::string GroupText(const PluginVariant& v, const PortGroup& group) {
    return GroupUri(v, group) + "\n" +
           "    a pg:StereoGroup , " + group.kind + " ;\n" +
           "    lv2:symbol " + Quoted(group.symbol) + " ;\n" +
           "    rdfs:label " + Quoted(group.label) + " .\n";
}

std::string PluginText(const PluginVariant& v) {
    std::string ports[PortCount(2)];
    for (int i = 0; i < kNumParams; ++i) ports[i] = ControlInputPort(i);
    ports[kGainReductionPort] = GainReductionPort();
    ports[kLatencyPort] = LatencyPort();
    const bool stereo = v.channels == 2;
    const std::string inputGroup = stereo ? GroupUri(v, kInputGroup) : std::string();
    const std::string outputGroup = stereo ? GroupUri(v, kOutputGroup) : std::string();
    for (int c = 0; c < v.channels; ++c) {
        ports[AudioInputPort(c)] = AudioPortText("lv2:InputPort , lv2:AudioPort", AudioInputPort(c),
                                                 Inputs(v.channels)[c], inputGroup);
        ports[AudioOutputPort(v.channels, c)] = AudioPortText(
            "lv2:OutputPort , lv2:AudioPort", AudioOutputPort(v.channels, c), Outputs(v.channels)[c], outputGroup);
    }
    ports[EnabledPort(v.channels)] = EnabledPortText(v.channels);

    std::string s;
    if (stereo) s += GroupText(v, kInputGroup) + "\n" + GroupText(v, kOutputGroup) + "\n";
    s += Uri(v.uri) + "\n";
    s += "    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n";
    s += "    doap:name " + Quoted(v.name) + " ;\n";
    s += "    doap:license " + Uri(kLicenseUri) + " ;\n";
    s += "    doap:maintainer [\n        a foaf:Organization ;\n        foaf:name " + Quoted(kMakerName) +
         "\n    ] ;\n";
    s += "    rdfs:comment " +
         Quoted(v.channels == 1 ? "Kestrom compressor, one channel." : "Kestrom compressor, two channels.") +
         " ;\n";
    s += "    lv2:minorVersion " + std::to_string(KestromVersion::kMinor) + " ;\n";
    s += "    lv2:microVersion " + std::to_string(KestromVersion::kMicro) + " ;\n";
    if (stereo) s += "    pg:mainInput " + inputGroup + " ;\n    pg:mainOutput " + outputGroup + " ;\n";
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

int KestromTurtle::RangeSteps(const ParamDef& def) {
    return static_cast<int>((def.maximum - def.minimum) / def.step + 1.0);
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

std::string KestromTurtle::Manifest(const std::string& binaryName, const std::string& uiBinaryName) {
    std::string s = kPrefixes;
    for (const PluginVariant& v : kVariants) {
        s += Uri(v.uri) + "\n    a lv2:Plugin ;\n    lv2:binary <" + binaryName + "> ;\n    rdfs:seeAlso <" +
             kPluginsFile + "> .\n\n";
    }
    s += Uri(kUiUri) + "\n    a ui:X11UI ;\n    ui:binary <" + uiBinaryName + "> ;\n    rdfs:seeAlso <" + kPluginsFile +
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
