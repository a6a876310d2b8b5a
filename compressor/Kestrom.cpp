#include "compressor/Kestrom.h"

#include "compressor/KestromEditor.h"
#include "graphics/IGraphics.h"

using namespace kestrom;

Kestrom::Kestrom()
    : IPlugRTAS(kNumParams, kChannelConfigs, 1, "Kestrom", "", "Tollbrink", kVersion, kUniqueId,
                kVendorId, 0, false, false, false) {
    for (int i = 0; i < kNumParams; ++i) DefineParam(*Param(i), kParamTable[i]);
    // The editor's layout is built once, here, and lives as long as the
    // plug-in; the host only opens and closes windows onto it.
    AttachEditor(editor::MakeKestromEditor(this));
    // The single preset holds the defaults.
    CaptureDefaultPresets("-", 1);
}

Kestrom::~Kestrom() = default;

void Kestrom::HandleReset() {
    IPlugLockGuard guard(Lock());
    processor.Reset(SampleRate());
}

void Kestrom::HandleParamChange(int) {
    IPlugLockGuard guard(Lock());
    if (IPlugEditor* editor = Editor()) editor->MarkAllControlsDirty();
}

long long Kestrom::ReplacedInputSamples() {
    IPlugLockGuard guard(Lock());
    return processor.replacedInputSamples;
}

KestromSettings Kestrom::ReadSettings() const {
    return KestromSettings::FromParameters(
        Param(kIn)->Value(), Param(kOut)->Value(), Param(kIn)->CurrentNormal(),
        Param(kDeep)->Value(), Param(kRelaxed)->Value(), Param(kDualMono)->Value(),
        Param(kNegative)->Value(), Param(kPower)->Value());
}

void Kestrom::ProcessBlock(double** inputs, double** outputs, int frames) {
    const KestromSettings settings = ReadSettings();
    processor.ProcessBlock(inputs, outputs, frames, IsInputConnected(1), settings);
    IPlugEditor* editor = Editor();
    if (editor && settings.power) editor->SetParameterFromPlugin(kMeterIndex, processor.NeedleValue(), true);
}
