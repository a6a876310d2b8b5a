#include "tools/inprocess/PluginRunner.h"

#include <string>

#include "compressor/Kestrom.h"
#include "core/IPlugLock.h"
#include "core/IPlugParam.h"
#include "graphics/IGraphics.h"
#include "graphics/headless/IGraphicsHeadless.h"

namespace kestrom::tool {

PluginRunner::PluginRunner() : plug_(std::make_unique<Kestrom>()) {}

PluginRunner::~PluginRunner() = default;

void PluginRunner::Prepare(double sampleRate, int channels, int maxFrames) {
    channels_ = channels;
    plug_->ChangeSampleRate(sampleRate);
    plug_->ChangeBlockSize(maxFrames);
    // "1-1" connects channel 0 only; "2-2" connects both.
    plug_->ConnectInputs(0, channels, true);
    plug_->ConnectOutputs(0, channels, true);
    if (channels < 2) {
        plug_->ConnectInputs(1, 1, false);
        plug_->ConnectOutputs(1, 1, false);
    }
    plug_->HandleReset();
}

void PluginRunner::SetParameter(int index, double value) {
    IPlugLockGuard guard(plug_->Lock());
    IPlugParam* param = plug_->Param(index);
    if (param == nullptr) {
        return;
    }
    param->Set(value);
    if (IPlugEditor* editor = plug_->Editor()) {
        editor->SetParameterFromPlugin(index, param->Value(), false);
    }
    plug_->HandleParamChange(index);
}

double PluginRunner::ParameterValue(int index) const {
    const IPlugParam* param = plug_->Param(index);
    return param != nullptr ? param->Value() : 0.0;
}

std::string PluginRunner::ParameterName(int index) const {
    const IPlugParam* param = plug_->Param(index);
    return param != nullptr ? param->Name() : "";
}

std::string PluginRunner::ParameterText(int index) const {
    const IPlugParam* param = plug_->Param(index);
    if (param == nullptr) {
        return {};
    }
    char text[IPlugParam::kTextSize];
    param->FormatValue(param->Value(), false, text);
    std::string result = text;
    const std::string unit = param->UnitText();
    if (!unit.empty()) {
        result += " " + unit;
    }
    return result;
}

int PluginRunner::ParameterCount() const { return plug_->NParams(); }

IGraphics* PluginRunner::Graphics() { return dynamic_cast<IGraphics*>(plug_->Editor()); }

IGraphicsHeadless* PluginRunner::Editor() { return dynamic_cast<IGraphicsHeadless*>(plug_->Editor()); }

std::optional<double> PluginRunner::RunBlock(const float* const* inputs, float* const* outputs, int frames) {
    IPlugLockGuard guard(plug_->Lock());
    IGraphics* editor = Graphics();
    const uint64_t postsBefore = editor ? editor->PeekDisplayValue(kMeterIndex).posts : 0;
    plug_->AttachInputs(0, channels_, inputs, frames);
    plug_->AttachOutputs(0, channels_, outputs);
    plug_->RunBlock(frames);
    if (!editor) {
        return std::nullopt;
    }
    const IValueMailbox::Reading after = editor->PeekDisplayValue(kMeterIndex);
    if (after.posts == postsBefore) {
        return std::nullopt;
    }
    return after.value;
}

}  // namespace kestrom::tool
