#include "hostlib/CNoResourceView.h"

#include <memory>
#include <utility>

#include "hostlib/CEffectGroup.h"
#include "hostlib/CViewDescription.h"

CPlugInView* CNoResourceView::BuildSubview(const char* description, int16_t x, int16_t y, int16_t width,
                                           int16_t height) {
    CViewDescription parsed;
    if (!CViewDescription::Parse(description, &parsed)) return nullptr;
    const CEffectGroup* group = CEffectGroup::ModuleGroup();
    if (!group) return nullptr;
    std::unique_ptr<CPlugInView> view = group->CreateView(parsed.ClassName());
    if (!view) return nullptr;
    view->SetPosition(x, y);
    view->SetSize(width, height);
    view->SetViewId(parsed.ViewId());
    return AddSubview(std::move(view));
}
