#include "lv2/KestromLv2Ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "compressor/Kestrom.h"
#include "compressor/KestromEditor.h"
#include "core/HostIdentity.h"
#include "graphics/x11/IGraphicsX11.h"
#include "lv2/KestromLv2Layout.h"

using namespace kestrom;

namespace {

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
    if (features == nullptr) return nullptr;
    for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

constexpr uint32_t kFloatProtocol = 0;  // port_event's and write's format for a control port's float

}  // namespace

KestromLv2Ui::KestromLv2Ui()
    : IPlugBase(kNumParams, Kestrom::kChannelConfigs, 1, "Kestrom", "", "Tollbrink", Kestrom::kVersion,
                Kestrom::kUniqueId, Kestrom::kVendorId, 0, false, false, false, kApiRTAS) {
    for (int i = 0; i < kNumParams; ++i) DefineParam(*Param(i), kParamTable[i]);
}

KestromLv2Ui::~KestromLv2Ui() = default;

std::unique_ptr<KestromLv2Ui> KestromLv2Ui::Create(void* parent, LV2UI_Write_Function write,
                                                   LV2UI_Controller controller,
                                                   const LV2_Feature* const* features) {
    if (parent == nullptr) return nullptr;
    std::unique_ptr<KestromLv2Ui> ui(new KestromLv2Ui());
    ui->write = write;
    ui->controller = controller;
    ui->resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
    if (ui->resize != nullptr && ui->resize->ui_resize == nullptr) ui->resize = nullptr;
    ui->touch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
    if (ui->touch != nullptr && ui->touch->touch == nullptr) ui->touch = nullptr;

    // The editor is built against whichever window layer this binary links:
    // the X11 one.
    ui->AttachEditor(editor::MakeKestromEditor(ui.get()));
    ui->editor = dynamic_cast<IGraphicsX11*>(ui->IPlugBase::Editor());
    if (ui->editor == nullptr || ui->editor->OpenWindow(parent) == nullptr) return nullptr;
    if (ui->resize != nullptr)
        ui->resize->ui_resize(ui->resize->handle, ui->editor->Width(), ui->editor->Height());
    return ui;
}

void* KestromLv2Ui::Widget() { return editor->WindowHandle(); }

void KestromLv2Ui::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
    if (format != kFloatProtocol || bufferSize != sizeof(float) || buffer == nullptr) return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    if (std::isnan(value)) return;
    if (port < static_cast<uint32_t>(kNumParams)) {
        const int index = static_cast<int>(port);
        IPlugLockGuard guard(Lock());
        double v = static_cast<double>(value);
        if (kParamTable[index].kind == IPlugParam::Switch) v = value > 0.0f ? 1.0 : 0.0;
        IPlugParam* param = Param(index);
        param->Set(v);
        editor->SetParameterFromPlugin(index, param->Value(), false);
        HandleParamChange(index);
    } else if (port == lv2::kGainReductionPort) {
        const double needle = std::min(1.0, std::max(0.0, static_cast<double>(value) / kMeterFullScaleDb));
        editor->SetParameterFromPlugin(kMeterIndex, needle, true);
    }
}

int KestromLv2Ui::Idle() { return editor->Idle() ? 0 : 1; }

void KestromLv2Ui::WritePort(int index) {
    if (write == nullptr) return;
    const float value = static_cast<float>(Param(index)->Value());
    write(controller, static_cast<uint32_t>(index), sizeof value, kFloatProtocol, &value);
}

void KestromLv2Ui::BeginParamGesture(int index) {
    if (touch != nullptr && index >= 0 && index < kNumParams)
        touch->touch(touch->handle, static_cast<uint32_t>(index), true);
}

void KestromLv2Ui::EndParamGesture(int index) {
    if (touch != nullptr && index >= 0 && index < kNumParams)
        touch->touch(touch->handle, static_cast<uint32_t>(index), false);
}

void KestromLv2Ui::TellHostParamValue(int index, double) {
    if (index >= 0 && index < kNumParams) WritePort(index);
}

void KestromLv2Ui::TellHostAllParams() {
    for (int i = 0; i < kNumParams; ++i) WritePort(i);
}

void KestromLv2Ui::HandleParamChange(int) {
    if (editor != nullptr) editor->MarkAllControlsDirty();
}

void KestromLv2Ui::HostTimeSignature(int* numerator, int* denominator) {
    if (numerator) *numerator = 4;
    if (denominator) *denominator = 4;
}

void KestromLv2Ui::HostTransport(HostTimeRecord* info) {
    if (info) *info = HostTimeRecord();
}

void KestromLv2Ui::EditorResized(int width, int height) {
    if (resize != nullptr) resize->ui_resize(resize->handle, width, height);
}
