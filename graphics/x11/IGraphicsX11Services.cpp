#include <cstdlib>
#include <cstring>

#include "graphics/platform/posix/PosixFolders.h"
#include "graphics/platform/posix/PosixPlatform.h"
#include "graphics/x11/IGraphicsX11.h"

// What the context asks of the platform besides the window: pictures, fonts,
// folders, and the dialogs this layer does without.

std::unique_ptr<LICE_IBitmap> IGraphicsX11::LoadPlatformBitmap(int id, const char* name) {
    return PosixPlatform::LoadPicture(id, name);
}

std::unique_ptr<LICE_IFont> IGraphicsX11::CreatePlatformFont(const ITextStyle& style) {
    return PosixPlatform::CreateFont(style);
}

void IGraphicsX11::HostDirectory(std::string& out) { out = PosixFolders::HostDirectory(); }

void IGraphicsX11::ModuleDirectory(std::string& out) { out = PosixFolders::ModuleDirectory(); }

void IGraphicsX11::DesktopDirectory(std::string& out) { out = PosixFolders::DesktopDirectory(); }

void IGraphicsX11::AppDataDirectory(std::string& out) { out = PosixFolders::AppDataDirectory(); }

int IGraphicsX11::ShowMessageBox(const char*, const char*, int type) { return type == kTypeYesNo ? kNo : kOk; }

IMenu* IGraphicsX11::ShowPopupMenu(IMenu&, const IBounds&) {
    ClearCapture();
    buttonDown = false;
    return nullptr;
}

void IGraphicsX11::ShowTextEntry(IControl*, const ITextStyle&, const IBounds&, const char*, IPlugParam*) {}

void IGraphicsX11::CancelTextEntry() {}

void IGraphicsX11::PromptForFile(std::string& path, int, std::string&, const char*) { path.clear(); }

bool IGraphicsX11::PromptForColour(IRgba&, const char*) { return false; }

bool IGraphicsX11::OpenURL(const char*, const char* title, const char* confirmText, const char* failureText) {
    if (confirmText && ShowMessageBox(confirmText, title, kTypeYesNo) != kYes) return false;
    if (failureText) ShowMessageBox(failureText, title, kTypeOk);
    return false;
}
