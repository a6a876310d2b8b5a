#include "hostlib/CEffectGroup.h"

#include <atomic>
#include <cstring>
#include <utility>

#include "hostlib/CDAEError.h"
#include "hostlib/CEffectType.h"
#include "hostlib/CInstanceRegistry.h"
#include "hostlib/CPlugInView.h"

namespace {

std::atomic<CEffectGroup*> moduleGroup{nullptr};

}  // namespace

CEffectGroup::CEffectGroup() = default;

CEffectGroup::~CEffectGroup() {
    CEffectGroup* self = this;
    moduleGroup.compare_exchange_strong(self, nullptr);
    // The processes go before the types they were made from.
    CInstanceRegistry::Module().RemoveAllOwnedBy(this);
}

void CEffectGroup::Initialize() {
    if (typesCreated) return;
    CreateEffectTypes();
    typesCreated = true;
}

void CEffectGroup::CreateEffectTypes() {}

int32_t CEffectGroup::HostVersion() { return 0; }

void CEffectGroup::SetMakerNames(const char* names) { makerNames = names ? names : ""; }

void CEffectGroup::SetProductNames(const char* names) { productNames = names ? names : ""; }

void CEffectGroup::AddOptionCode(int32_t code) { options.push_back(code); }

bool CEffectGroup::OptionAt(int32_t index, int32_t* code) const {
    if (index < 0 || index >= OptionCount() || !code) return false;
    *code = options[static_cast<std::size_t>(index)];
    return true;
}

void CEffectGroup::AddEffectType(CEffectType* type) {
    if (!type) throw CDAEError(PI_ErrNullPointer);
    std::unique_ptr<CEffectType> owned(type);
    if (FindEffectType(owned->TypeId()) >= 0) throw CDAEError(PI_ErrBadIndex);
    types.push_back(std::move(owned));
}

CEffectType* CEffectGroup::EffectTypeAt(int32_t index) const {
    if (index < 0 || index >= EffectTypeCount()) return nullptr;
    return types[static_cast<std::size_t>(index)].get();
}

int32_t CEffectGroup::FindEffectType(int32_t typeId) const {
    for (int32_t i = 0; i < EffectTypeCount(); ++i)
        if (types[static_cast<std::size_t>(i)]->TypeId() == typeId) return i;
    return -1;
}

void CEffectGroup::RegisterViewClass(const char* name, CreateViewProc create) {
    if (!name || !*name || !create) throw CDAEError(PI_ErrNullPointer);
    for (ViewClass& c : viewClasses) {
        if (c.name == name) {
            c.create = create;
            return;
        }
    }
    viewClasses.push_back(ViewClass{name, create});
}

const char* CEffectGroup::ViewClassName(int32_t index) const {
    if (index < 0 || index >= ViewClassCount()) return nullptr;
    return viewClasses[static_cast<std::size_t>(index)].name.c_str();
}

std::unique_ptr<CPlugInView> CEffectGroup::CreateView(const char* name) const {
    if (!name) return nullptr;
    for (const ViewClass& c : viewClasses)
        if (c.name == name) return std::unique_ptr<CPlugInView>(c.create());
    return nullptr;
}

void CEffectGroup::SetModuleGroup(CEffectGroup* group) { moduleGroup.store(group, std::memory_order_release); }

CEffectGroup* CEffectGroup::ModuleGroup() { return moduleGroup.load(std::memory_order_acquire); }
