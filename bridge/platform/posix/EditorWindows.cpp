// Editor windows where the module has no window system to embed into yet:
// the host's window has no client area and no child can be made, so opening
// the editor in a host window fails with ERROR_NOT_SUPPORTED (50) and the
// host sees the failure; the editor itself still works in the display-less
// window layer.
#include "bridge/EditorWindows.h"

namespace {
constexpr uint32_t kNotSupported = 50;
}  // namespace

uint32_t EditorWindows::RegisterChildClass(void*) { return 0; }

bool EditorWindows::ClientRect(void*, Rect& rect) {
    rect = Rect();
    return false;
}

void* EditorWindows::CreateChild(void*, int32_t, int32_t, int32_t, int32_t, uint32_t& error) {
    error = kNotSupported;
    return nullptr;
}

void EditorWindows::Show(void*) {}

bool EditorWindows::Destroy(void* child) { return child != nullptr; }
