#include "tools/host/HostedEditor.h"

#include <atomic>

#include "standins/extension/ExtensionStandIn.h"
#include "tools/host/HostWindowSystem.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"
#include "tools/host/SharedLibrary.h"

namespace kestrom::host {

namespace {

// Host ports are small numbers, one per editor shown, never 0.
intptr_t NewPort() {
    static std::atomic<intptr_t> next{0x100};
    return next++;
}

// The extension library's port binding, which the host has loaded for the
// module; null when it is not there.
using BindPortProc = decltype(&KsExtension_BindPort);
BindPortProc BindPort() {
    return reinterpret_cast<BindPortProc>(SharedLibrary::LoadedSymbol(KS_EXTENSION_LIBRARY, "KsExtension_BindPort"));
}

}  // namespace

HostedEditor::HostedEditor(const ModuleHost& module, const HostedPlugin& plugin) : module_(module), plugin_(plugin) {}

HostedEditor::~HostedEditor() { Close(); }

bool HostedEditor::Check(PI_Status status, const std::string& what, std::string& error) const {
    status_ = status;
    if (status == PI_NoErr) return true;
    error = what + " (status " + std::to_string(status) + ")";
    return false;
}

bool HostedEditor::Open(std::string& error, int clientWidth, int clientHeight) {
    Close();
    const ModuleRoutines& r = module_.Routines();
    const PI_Instance instance = plugin_.Handle();
    if (!Check(r.viewRect(instance, &viewRect_), "the plug-in has no editor to show", error)) return false;
    const BindPortProc bind = BindPort();
    if (bind == nullptr) {
        error = "the host extension library cannot bind ports to windows";
        return false;
    }
    window_ = HostWindowSystem::Create(clientWidth > 0 ? clientWidth : Width(),
                                       clientHeight > 0 ? clientHeight : Height(), error);
    if (window_ == nullptr) return false;
    port_ = NewPort();
    bind(port_, window_);
    int32_t viewMade = 0;
    if (!Check(r.makeView(instance, &viewMade), "the plug-in's view cannot be made", error) ||
        (viewMade == 0 && !Check(PI_ErrInternal, "the plug-in made no view", error)) || !Attach(error)) {
        Close();
        return false;
    }
    return true;
}

bool HostedEditor::Attach(std::string& error) {
    if (port_ == 0) {
        error = "the editor has no host window";
        return false;
    }
    if (!Check(module_.Routines().setWindow(plugin_.Handle(), port_), "the editor cannot be attached", error))
        return false;
    attached_ = true;
    return true;
}

bool HostedEditor::Detach(std::string& error) {
    attached_ = false;
    return Check(module_.Routines().setWindow(plugin_.Handle(), 0), "the editor cannot be detached", error);
}

bool HostedEditor::IsAttached() const {
    int32_t open = 0;
    return module_.Routines().editorIsOpen(plugin_.Handle(), &open) == PI_NoErr && open != 0;
}

void HostedEditor::Close() {
    std::string ignored;
    if (attached_) Detach(ignored);
    if (port_ != 0) {
        if (const BindPortProc bind = BindPort()) bind(port_, nullptr);
        port_ = 0;
    }
    if (window_ != nullptr) {
        HostWindowSystem::Destroy(window_);
        window_ = nullptr;
    }
}

bool HostedEditor::EditorOrigin(int& x, int& y) const { return HostWindowSystem::FirstChildOrigin(window_, x, y); }

bool HostedEditor::Settle(std::string& error) {
    if (window_ == nullptr) {
        error = "the editor has no host window";
        return false;
    }
    return HostWindowSystem::Settle(window_, error);
}

bool HostedEditor::Click(int x, int y, std::string& error) {
    int left = 0, top = 0;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        error = "click " + std::to_string(x) + "," + std::to_string(y) + " lies outside the " +
                std::to_string(Width()) + " x " + std::to_string(Height()) + " editor";
        return false;
    }
    if (!EditorOrigin(left, top)) {
        error = "the editor is not shown";
        return false;
    }
    std::string reason;
    if (!HostWindowSystem::Click(window_, left + x, top + y, reason)) {
        error = "click " + std::to_string(x) + "," + std::to_string(y) + " " + reason;
        return false;
    }
    return true;
}

bool HostedEditor::RequestDraw(std::string& error) {
    const PI_Rect area = viewRect_;
    return Check(module_.Routines().viewDraw(plugin_.Handle(), &area), "the editor's view cannot be drawn", error);
}

bool HostedEditor::Capture(Picture& picture, std::string& error) const {
    int left = 0, top = 0;
    if (!EditorOrigin(left, top)) {
        error = "the editor is not shown";
        return false;
    }
    const int width = Width(), height = Height();
    std::vector<uint32_t> pixels;
    if (!HostWindowSystem::Capture(window_, left, top, width, height, pixels, error)) return false;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        picture.rgb[i * 3 + 0] = static_cast<unsigned char>(pixels[i] >> 16);
        picture.rgb[i * 3 + 1] = static_cast<unsigned char>(pixels[i] >> 8);
        picture.rgb[i * 3 + 2] = static_cast<unsigned char>(pixels[i]);
    }
    return true;
}

}  // namespace kestrom::host
