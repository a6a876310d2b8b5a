#include "hostlib/CPlugInView.h"

#include <utility>

CPlugInView::~CPlugInView() = default;

void CPlugInView::Draw(const PI_Rect& area) {
    for (const std::unique_ptr<CPlugInView>& view : subviews) {
        PI_Rect local;
        local.top = static_cast<int16_t>(area.top - view->y);
        local.left = static_cast<int16_t>(area.left - view->x);
        local.bottom = static_cast<int16_t>(area.bottom - view->y);
        local.right = static_cast<int16_t>(area.right - view->x);
        view->Draw(local);
    }
}

void CPlugInView::SetPosition(int16_t newX, int16_t newY) {
    x = newX;
    y = newY;
}

void CPlugInView::SetSize(int16_t newWidth, int16_t newHeight) {
    width = newWidth < 0 ? int16_t{0} : newWidth;
    height = newHeight < 0 ? int16_t{0} : newHeight;
}

CPlugInView* CPlugInView::Subview(int32_t index) const {
    if (index < 0 || index >= SubviewCount()) return nullptr;
    return subviews[static_cast<std::size_t>(index)].get();
}

CPlugInView* CPlugInView::AddSubview(std::unique_ptr<CPlugInView> view) {
    if (!view) return nullptr;
    view->parent = this;
    subviews.push_back(std::move(view));
    return subviews.back().get();
}
