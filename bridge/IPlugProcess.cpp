#include "bridge/IPlugProcess.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "bridge/EditorInterface.h"
#include "bridge/HostEngine.h"
#include "bridge/HostExtension.h"
#include "bridge/IPlugRTAS.h"
#include "bridge/ModuleEntry.h"
#include "graphics/IGraphics.h"
#include "hostlib/CPluginControl_Discrete.h"
#include "hostlib/CPluginControl_Linear.h"
#include "hostlib/CPluginControl_List.h"
#include "hostlib/CPluginControl_OnOff.h"

namespace {

// A parameter value as the discrete controls take it: truncated towards 0,
// held to the int32 range (NaN reads as 0).
int32_t TruncatedInteger(double value) {
    if (!(value == value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace

IPlugProcess::IPlugProcess(int32_t id) : moduleInstance(ModuleEntry::ModuleInstance()), processId(id) {
    plugin.reset(ModuleEntry::MakePlugin());
}

IPlugProcess::~IPlugProcess() {
    // The editor interface destroys no window by itself: an open editor would
    // leave its child window in the host's window.
    if (editorInterface) editorInterface->Close();
    editorInterface.reset();
    HostEngine::UnregisterMidiClient(midiClient);
    midiClient = nullptr;
    plugin.reset();
}

// ---- Host controls ----------------------------------------------------------

void IPlugProcess::CreateControls() {
    if (!plugin) return;
    AddControl(new CPluginControl_OnOff(kBypassId, kBypassNames, 0, true));
    SetMasterBypassControl(IPlugRTAS::kBypassControl);
    for (int i = 0; i < plugin->NParams(); ++i) {
        const IPlugParam* param = plugin->Param(i);
        const uint32_t id = kFirstParamId + static_cast<uint32_t>(i);
        double minimum = 0.0, maximum = 0.0;
        param->Range(&minimum, &maximum);
        switch (param->Kind()) {
            case IPlugParam::Integer:
                AddControl(new CPluginControl_Discrete(id, param->Name(), TruncatedInteger(minimum),
                                                       TruncatedInteger(maximum), TruncatedInteger(param->Default()),
                                                       param->Automatable()));
                break;
            case IPlugParam::Continuous: {
                const double step = param->Step();
                AddControl(new CPluginControl_Linear(id, param->Name(), minimum, maximum, step, param->Default(),
                                                     param->Automatable(), CSIPrefixTable::kUnityToExa));
                break;
            }
            case IPlugParam::Switch:
            case IPlugParam::List: {
                std::vector<std::string> texts;
                for (int t = 0; t < param->ValueTextCount(); ++t) texts.emplace_back(param->ValueTextAt(t));
                AddControl(new CPluginControl_List(id, param->Name(), texts, TruncatedInteger(param->Default()),
                                                   param->Automatable()));
                break;
            }
            default:
                break;  // no control: later parameters would not be control i + 2
        }
    }
    plugin->ConnectIO(InputChannels(), OutputChannels());
    plugin->ChangeSampleRate(static_cast<double>(SampleRate()));
    plugin->HandleReset();
}

void IPlugProcess::SampleRateChanged(int32_t rate) {
    if (!plugin) return;
    plugin->ChangeSampleRate(static_cast<double>(rate));
    plugin->HandleReset();
}

// A control value the parameter already stands for changes nothing: the
// parameter keeps its own value rather than taking the control's rounded
// one. So the echo of a value the plug-in reported, or of a restored state,
// leaves the parameters exactly as they were, and a state saves and restores
// to the same sound. A switch, integer or list parameter must hold the whole
// value its control shows, though: one restored between two steps (0.5 for a
// switch the control shows as off) takes the control's value, or the sound
// would not be what the host shows.
void IPlugProcess::UpdateControlValueInAlgorithm(int32_t controlIndex) {
    if (!plugin || controlIndex == MasterBypassControl()) return;
    const CPluginControl* control = Control(controlIndex);
    if (control == nullptr) return;
    const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(control);
    const IPlugParam* param = plugin->Param(controlIndex - IPlugRTAS::kFirstParamControl);
    int32_t current = 0;
    if (param != nullptr && ControlValueForParameter(controlIndex, param->Value(), &current) &&
        current == control->CurrentControlValue() &&
        (discrete == nullptr || param->Value() == static_cast<double>(discrete->Value()))) {
        return;
    }
    double value = 0.0;
    if (discrete != nullptr) {
        value = discrete->Value();
    } else if (const auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(control)) {
        value = continuous->Value();
    } else {
        return;
    }
    plugin->ApplyHostControlChange(controlIndex, value);
}

bool IPlugProcess::ControlValueForParameter(int controlIndex, double value, int32_t* controlValue) {
    const CPluginControl* control = Control(controlIndex);
    if (control == nullptr || controlValue == nullptr) return false;
    if (const auto* discrete = dynamic_cast<const CPluginControl_Discrete*>(control)) {
        *controlValue = discrete->ControlValueFromInteger(TruncatedInteger(value));
        return true;
    }
    if (const auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(control)) {
        *controlValue = continuous->ControlValueFromValue(value);
        return true;
    }
    return false;
}

void IPlugProcess::StoreControlValue(int controlIndex, int32_t controlValue) {
    ReportControlValue(controlIndex, controlValue);
}

int32_t IPlugProcess::ControlQuery2(int controlIndex, int32_t* value) { return GetControlValue(controlIndex, value); }
int32_t IPlugProcess::ControlQuery3(int controlIndex, int32_t* value) { return GetControlValue(controlIndex, value); }

void IPlugProcess::BeginControlGesture(int controlIndex) { TouchControl(controlIndex); }
void IPlugProcess::EndControlGesture(int controlIndex) { ReleaseControl(controlIndex); }

void IPlugProcess::SideChainChanged(bool connected) {
    if (plugin) plugin->ChangeSideChainConnection(connected);
}

// ---- What the plug-in asks --------------------------------------------------

void IPlugProcess::SetEditorInterface(EditorInterface* editor) {
    if (editor != editorInterface.get()) editorInterface.reset(editor);
}

void IPlugProcess::Refresh() {}
void* IPlugProcess::ModuleInstance() { return moduleInstance; }
int32_t IPlugProcess::UseModuleResources() { return HostExtension::UseModuleResources(); }
void IPlugProcess::RestoreResources(int32_t saved) { HostExtension::RestoreResources(saved); }
IPlugRTAS* IPlugProcess::Plugin() { return plugin.get(); }

IGraphics* IPlugProcess::PluginEditor() {
    return plugin ? dynamic_cast<IGraphics*>(plugin->Editor()) : nullptr;
}

void IPlugProcess::MarkStateChanged() { IncrementStateChangeCount(); }
int32_t IPlugProcess::PackedHostVersion() { return HostEngine::PackedVersion(); }
int32_t IPlugProcess::MaxRenderFrames() { return HostEngine::MaxBlockSize(); }
int32_t IPlugProcess::LatencyFrames() { return plugin ? plugin->Latency() : 0; }

// No direct-MIDI client is ever registered, so the transport stays cleared.
void IPlugProcess::GetTransport(PI_Transport*) {}

int32_t IPlugProcess::ClickedControl() {
    IGraphics* editor = PluginEditor();
    if (editor == nullptr) return 0;
    const int index = editor->TakeClickedParam();
    return index < 0 ? 0 : IPlugRTAS::ControlIndexOfParam(index);
}

// ---- Meters -------------------------------------------------------------------

int32_t IPlugProcess::MeterCount() { return plugin && PluginEditor() ? plugin->MeterCount() : 0; }

PI_Status IPlugProcess::MeterValue(int32_t meter, double* value, uint32_t* updates) {
    IGraphics* editor = PluginEditor();
    const int index = plugin ? plugin->MeterDisplayIndex(meter) : -1;
    if (editor == nullptr || index < 0) return PI_ErrBadIndex;
    const IValueMailbox::Reading reading = editor->PeekDisplayValue(index);
    *value = reading.value;
    *updates = static_cast<uint32_t>(reading.posts);
    return PI_NoErr;
}

PI_Status IPlugProcess::ShowMeterValue(int32_t meter, double value) {
    IGraphics* editor = PluginEditor();
    const int index = plugin ? plugin->MeterDisplayIndex(meter) : -1;
    if (editor == nullptr || index < 0) return PI_ErrBadIndex;
    // A meter's scale is 0 to 1; anything beyond shows as its end (and
    // cannot push the needle's position out of any integer range).
    const double onScale = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    editor->SetParameterFromPlugin(index, onScale, true);
    return PI_NoErr;
}
