#include "graphics/controls/IURLControl.h"

#include "graphics/IGraphics.h"

namespace {
std::string Limited(const char* text, size_t limit) {
    std::string s = text ? text : "";
    if (s.size() > limit) s.resize(limit);
    return s;
}
}  // namespace

IURLControl::IURLControl(IPlugBase* plug, const IBounds& area, const char* link, const char* backup,
                         const char* title)
    : IControl(plug, area),
      url(Limited(link, kMaxUrl)),
      backupUrl(Limited(backup, kMaxUrl)),
      messageTitle(Limited(title, kMaxTitle)) {}

bool IURLControl::Draw(IGraphics&) { return true; }

void IURLControl::HandleMouseDown(int, int, const IMouseState&) {
    if (!graphics) return;
    bool opened = false;
    if (!url.empty()) opened = graphics->OpenURL(url.c_str(), messageTitle.c_str(), nullptr, nullptr);
    if (!opened && !backupUrl.empty()) graphics->OpenURL(backupUrl.c_str(), messageTitle.c_str(), nullptr, nullptr);
}
