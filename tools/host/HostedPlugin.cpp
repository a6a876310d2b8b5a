#include "tools/host/HostedPlugin.h"

#include <algorithm>
#include <cctype>

#include "tools/host/ModuleHost.h"

namespace kestrom::host {

namespace {

constexpr int kTextSize = 256;  // room for any name or value text

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

HostedPlugin::HostedPlugin(const ModuleHost& module) : module_(module) {}

HostedPlugin::~HostedPlugin() {
    if (instance_ != 0) module_.Routines().destroyInstance(instance_);
}

bool HostedPlugin::Check(PI_Status status, const std::string& what, std::string& error) const {
    status_ = status;
    if (status == PI_NoErr) return true;
    error = what + " (status " + std::to_string(status) + ")";
    return false;
}

bool HostedPlugin::Create(int32_t typeId, int32_t sampleRate, std::string& error) {
    const ModuleRoutines& r = module_.Routines();
    if (!Check(r.createInstance(typeId, &instance_), "the plug-in could not be created", error)) return false;
    const PI_InstanceSetup setup{sampleRate};
    if (!Check(r.initializeInstance(instance_, &setup), "the plug-in could not be initialised", error)) return false;
    int32_t in = 0, out = 0;
    if (!Check(r.channelCounts(instance_, &in, &out), "the plug-in has no channels", error)) return false;
    inputs_ = in;
    outputs_ = out;
    return Check(r.chunkId(instance_, 1, &chunkId_), "the plug-in has no state chunk", error);
}

int HostedPlugin::MaxBlockSize() const {
    int32_t frames = 0;
    return module_.Routines().maxBlockSize(instance_, &frames) == PI_NoErr ? frames : 0;
}

int HostedPlugin::ControlCount() const {
    int32_t count = 0;
    return module_.Routines().controlCount(instance_, &count) == PI_NoErr ? count : 0;
}

bool HostedPlugin::ControlInfo(int control, PI_ControlInfo& info) const {
    return module_.Routines().controlInfo(instance_, control, &info) == PI_NoErr;
}

std::string HostedPlugin::ControlName(int control, int width) const {
    char text[kTextSize] = {};
    return module_.Routines().controlName(instance_, control, width, text, kTextSize) == PI_NoErr ? text : "";
}

int32_t HostedPlugin::ControlValue(int control) const {
    int32_t value = 0;
    module_.Routines().getControlValue(instance_, control, &value);
    return value;
}

std::string HostedPlugin::ValueText(int control, int32_t value, int width) const {
    char text[kTextSize] = {};
    return module_.Routines().controlValueText(instance_, control, value, width, text, kTextSize) == PI_NoErr ? text
                                                                                                             : "";
}

double HostedPlugin::ValueNumber(int control, int32_t value) const {
    double number = 0.0;
    module_.Routines().controlToNumber(instance_, control, value, &number);
    return number;
}

int HostedPlugin::FindControl(const std::string& name) const {
    const std::string wanted = Lower(name);
    for (int c = 1; c <= ControlCount(); ++c) {
        // Every form the control offers, from the longest down.
        for (int width = kTextSize - 1; width > 0;) {
            const std::string form = ControlName(c, width);
            if (Lower(form) == wanted) return c;
            if (form.empty()) break;
            width = static_cast<int>(form.size()) - 1;
        }
    }
    return 0;
}

bool HostedPlugin::SetControlNumber(int control, double value, std::string& error) {
    int32_t controlValue = 0;
    const ModuleRoutines& r = module_.Routines();
    return Check(r.controlFromNumber(instance_, control, value, &controlValue),
                 "control " + std::to_string(control) + " takes no such value", error) &&
           Check(r.setControlValue(instance_, control, controlValue),
                 "control " + std::to_string(control) + " could not be set", error);
}

bool HostedPlugin::SetControlText(int control, const std::string& text, std::string& error) {
    int32_t controlValue = 0;
    const ModuleRoutines& r = module_.Routines();
    return Check(r.controlValueForText(instance_, control, text.c_str(), &controlValue),
                 "'" + text + "' is not a value of " + ControlName(control, kTextSize - 1), error) &&
           Check(r.setControlValue(instance_, control, controlValue),
                 "control " + std::to_string(control) + " could not be set", error);
}

bool HostedPlugin::SetBypass(bool on, std::string& error) {
    return Check(module_.Routines().setBypass(instance_, on ? 1 : 0), "the bypass could not be set", error);
}

bool HostedPlugin::Render(const float* const* inputs, float* const* outputs, int frames, std::string& error) {
    float* out[8] = {};
    for (int c = 0; c < outputs_ && c < 8; ++c) out[c] = outputs[c];
    const PI_RenderRecord record{inputs, inputs_, out, outputs_, frames, 1, nullptr};
    return Check(module_.Routines().render(instance_, &record), "the plug-in failed to render a block", error);
}

bool HostedPlugin::Meter(int meter, MeterReading& reading) const {
    return module_.Routines().meterValue(instance_, meter, &reading.value, &reading.updates) == PI_NoErr;
}

bool HostedPlugin::ShowMeter(int meter, double value) {
    return module_.Routines().showMeterValue(instance_, meter, value) == PI_NoErr;
}

bool HostedPlugin::SaveChunk(std::vector<unsigned char>& chunk, std::string& error) const {
    const ModuleRoutines& r = module_.Routines();
    int32_t size = 0;
    if (!Check(r.chunkSize(instance_, chunkId_, &size), "the plug-in's state could not be saved", error)) return false;
    chunk.assign(static_cast<std::size_t>(std::max(size, 0)), 0);
    return Check(r.getChunk(instance_, chunkId_, chunk.data(), size), "the plug-in's state could not be saved",
                 error);
}

bool HostedPlugin::RestoreChunk(const std::vector<unsigned char>& chunk, std::string& error) {
    return Check(module_.Routines().setChunk(instance_, chunkId_, chunk.data(), static_cast<int32_t>(chunk.size())),
                 "the state does not belong to this plug-in or is damaged", error);
}

bool HostedPlugin::ChunkMatches(const std::vector<unsigned char>& chunk, std::string& error) const {
    int32_t equal = 0;
    return Check(module_.Routines().compareChunk(instance_, chunk.data(), static_cast<int32_t>(chunk.size()), &equal),
                 "the state could not be compared", error) &&
           equal != 0;
}

}  // namespace kestrom::host
