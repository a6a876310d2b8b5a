// The Win32 window layer answers the editor factory in Windows binaries (the
// module Kestrom.dpm). The context is given the instance of the binary this
// code is linked into: its window class, resources and path.
#include <windows.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include "graphics/MakeEditorWindow.h"
#include "graphics/win32/IGraphicsWin.h"

namespace {
const char kAnchor = 0;  // any object of this binary locates it
}  // namespace

IGraphics* MakeEditorWindow(IPlugBase* plugin, int w, int h, int frameRate) {
    auto* editor = new IGraphicsWin(plugin, w, h, frameRate);
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           &kAnchor, &module))
        editor->SetInstance(module);
    return editor;
}
