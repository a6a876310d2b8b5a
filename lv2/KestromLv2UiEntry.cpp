// The editor binary's (kestrom_ui.so) one export, lv2ui_descriptor: the
// editor (ui:X11UI) of both plug-ins, a KestromLv2Ui behind the C callbacks
// hosts call. Nothing thrown inside crosses back into the host.
#include <cstdint>
#include <cstring>

#include <lv2/ui/ui.h>

#include "lv2/KestromLv2Layout.h"
#include "lv2/KestromLv2Ui.h"

namespace {

KestromLv2Ui* Ui(LV2UI_Handle handle) { return static_cast<KestromLv2Ui*>(handle); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    try {
        void* parent = nullptr;
        if (features != nullptr)
            for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
                if ((*f)->URI != nullptr && std::strcmp((*f)->URI, LV2_UI__parent) == 0) parent = (*f)->data;
        std::unique_ptr<KestromLv2Ui> ui = KestromLv2Ui::Create(parent, write, controller, features);
        if (!ui) return nullptr;
        if (widget != nullptr) *widget = ui->Widget();
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle) { delete Ui(handle); }

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    try {
        Ui(handle)->PortEvent(port, size, format, buffer);
    } catch (...) {
    }
}

int Idle(LV2UI_Handle handle) {
    try {
        return Ui(handle)->Idle();
    } catch (...) {
        return 1;
    }
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

const void* ExtensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kestrom::lv2::kUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
