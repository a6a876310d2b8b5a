#include "bridge/IPlugCustomUI.h"

#include "bridge/IPlugRTAS.h"
#include "bridge/ModuleEntry.h"
#include "bridge/ProcessInterface.h"
#include "graphics/IGraphics.h"

IPlugCustomUI::IPlugCustomUI(ProcessInterface* owner) : EditorInterface(owner) {
    moduleInstance = process ? process->ModuleInstance() : ModuleEntry::ModuleInstance();
    plugin = process ? process->Plugin() : nullptr;
    editor = process ? process->PluginEditor() : nullptr;
    const uint32_t error = EditorWindows::RegisterChildClass(moduleInstance);
    if (error != 0 && error != EditorWindows::kClassAlreadyExists) {
        parentWindow = nullptr;
        throw error;
    }
}

IPlugCustomUI::~IPlugCustomUI() {
    plugin = nullptr;
    editor = nullptr;
    parentWindow = nullptr;
}

void IPlugCustomUI::EditorRect(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom) {
    rect.left = 0;
    rect.top = 0;
    rect.right = editor ? editor->Width() : 0;
    rect.bottom = editor ? editor->Height() : 0;
    if (left) *left = static_cast<int16_t>(rect.left);
    if (top) *top = static_cast<int16_t>(rect.top);
    if (right) *right = static_cast<int16_t>(rect.right);
    if (bottom) *bottom = static_cast<int16_t>(rect.bottom);
}

void IPlugCustomUI::Placement(const EditorWindows::Rect& client, const EditorWindows::Rect& r, int32_t& x,
                              int32_t& y) {
    const int32_t height = r.bottom - r.top, width = r.right - r.left;
    const int32_t slack = client.bottom - client.top - height;
    const int32_t clientWidth = client.right - client.left;
    x = width == clientWidth ? r.left : (clientWidth - width) / 2;
    y = client.top + slack;
}

bool IPlugCustomUI::Open(void* window, int16_t, int16_t) {
    // Opening again without a close in between (a new host window) first
    // takes the editor out of the old one, which would otherwise keep an
    // empty child window.
    if (childWindow != nullptr) Close();
    parentWindow = window;
    if (parentWindow == nullptr) return false;
    const int32_t height = rect.bottom - rect.top, width = rect.right - rect.left;
    EditorWindows::Rect client;
    EditorWindows::ClientRect(parentWindow, client);
    verticalSlack = client.bottom - client.top - height;
    parentWidth = client.right - client.left;
    int32_t x = 0, y = 0;
    Placement(client, rect, x, y);
    uint32_t error = 0;
    childWindow = EditorWindows::CreateChild(moduleInstance, parentWindow, x, y, width, client.top + height, error);
    if (childWindow == nullptr) {
        // The module instance is kept: the class is registered under it, and
        // a later open in another window needs it to find the class.
        parentWindow = nullptr;
        throw error;
    }
    EditorWindows::Show(childWindow);
    const int32_t saved = process ? process->UseModuleResources() : 0;
    bool opened = true;
    if (editor) {
        opened = editor->OpenWindow(childWindow) != nullptr;
        if (opened && plugin) plugin->OnEditorOpened();
    }
    if (process) process->RestoreResources(saved);
    if (!opened) {
        // An editor that could not open its window shows nothing: no empty
        // child is left behind, and the caller learns of it.
        EditorWindows::Destroy(childWindow);
        childWindow = nullptr;
        parentWindow = nullptr;
    }
    return opened;
}

bool IPlugCustomUI::Close() {
    if (childWindow == nullptr) return false;
    if (editor) editor->CloseWindow();
    // Forgotten once destroyed: a second close must not destroy whatever
    // window the handle might name later.
    const bool destroyed = EditorWindows::Destroy(childWindow);
    childWindow = nullptr;
    return destroyed;
}

void IPlugCustomUI::Update(int16_t, int16_t, int16_t, int16_t) {
    if (editor) editor->MarkAllControlsDirty();
}
