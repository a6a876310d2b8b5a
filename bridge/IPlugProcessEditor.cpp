// The editor in the host's window: the size the host asks for, the host view
// it builds, attaching the editor to the host's port and detaching it, and the
// editor's resize. Host UI thread.
#include <cstring>
#include <memory>

#include "bridge/HostEngine.h"
#include "bridge/HostExtension.h"
#include "bridge/IPlugCustomUI.h"
#include "bridge/IPlugProcess.h"
#include "bridge/IPlugRTAS.h"
#include "hostlib/CCustomView.h"
#include "hostlib/CDAEError.h"
#include "hostlib/CNoResourceView.h"

namespace {

// The resize token's fixed words.
constexpr uint32_t kTokenWords[4] = {0x53455456, 0x574E5253, 0x4447444E, 0x50726F63};
constexpr int16_t kTokenKind = 38;

}  // namespace

void IPlugProcess::MakeEditorInterface() {
    if (!editorInterface) editorInterface = std::make_unique<IPlugCustomUI>(this);
}

bool IPlugProcess::GetViewRect(PI_Rect* rect) {
    if (!plugin || rect == nullptr || PluginEditor() == nullptr) return false;
    MakeEditorInterface();
    editorInterface->EditorRect(&editorRect.left, &editorRect.top, &editorRect.right, &editorRect.bottom);
    rect->top = 0;
    rect->left = 0;
    rect->bottom = editorRect.bottom;
    rect->right = editorRect.right;
    return true;
}

CPlugInView* IPlugProcess::MakeView() {
    if (!plugin) return nullptr;
    std::unique_ptr<CNoResourceView> root;
    try {
        if (!editorInterface) {
            MakeEditorInterface();
            editorInterface->EditorRect(&editorRect.left, &editorRect.top, &editorRect.right, &editorRect.bottom);
        }
        root = std::make_unique<CNoResourceView>();
        root->SetSize(editorRect.right, editorRect.bottom);
        view = root->BuildSubview(kViewDescription, 0, 0, editorRect.right, editorRect.bottom);
        if (auto* custom = dynamic_cast<CCustomView*>(view)) custom->SetEditorInterface(editorInterface.get());
        return root.release();
    } catch (...) {
        view = nullptr;
        editorInterface.reset();
        return nullptr;
    }
}

void IPlugProcess::SetWindow(PI_Port port) {
    hostPort = port;
    if (port != 0) {
        try {
            AttachEditor(port);
        } catch (...) {
            hostPort = 0;
            throw;
        }
        return;
    }
    if (editorInterface) editorInterface->Close();
    if (view) view->SetStateFlag(0);
}

void IPlugProcess::AttachEditor(PI_Port port) {
    // A host that attaches before asking for the size gets the editor all
    // the same; one without an editor learns that there is none.
    PI_Rect size{};
    if (!editorInterface && !GetViewRect(&size)) throw CDAEError(PI_ErrUnsupported);
    void* window = HostExtension::PortToWindow(port);
    if (window == nullptr) {
        // A port that stands for no window: nothing can show, and whatever
        // showed before is taken down, as on a detach.
        editorInterface->Close();
        throw CDAEError(PI_ErrBadValue);
    }
    // A failure to make the child throws the system's error code.
    if (!editorInterface->Open(window, editorOrigin[0], editorOrigin[1])) throw CDAEError(PI_ErrInternal);
    editorInterface->Update(editorRect.left, editorRect.top, editorRect.right, editorRect.bottom);
}

void IPlugProcess::InstanceWithdrawn() {
    hostPort = 0;
    if (editorInterface) editorInterface->Close();
    if (view) view->SetStateFlag(0);
}

void IPlugProcess::CloseEditorForResize() {
    if (editorInterface) editorInterface->Close();
}

void IPlugProcess::SendResizeToken() {
    unsigned char token[KS_ENGINE_TOKEN_SIZE] = {};
    const int32_t objectId = Instance();
    std::memcpy(token + 0, &objectId, 4);
    std::memcpy(token + 4, kTokenWords, sizeof kTokenWords);
    std::memcpy(token + 20, &objectId, 4);
    std::memcpy(token + 36, &kTokenKind, 2);
    HostEngine::DispatchToken(token);
}
