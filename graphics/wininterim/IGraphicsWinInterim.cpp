#include "graphics/wininterim/IGraphicsWinInterim.h"

#include "graphics/platform/win32/Win32Folders.h"

IGraphicsWinInterim::IGraphicsWinInterim(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate) {}

IGraphicsWinInterim::~IGraphicsWinInterim() = default;

bool IGraphicsWinInterim::PaintToWindow(const IBounds&) { return false; }

void IGraphicsWinInterim::CancelTextEntry() {}

int IGraphicsWinInterim::ShowMessageBox(const char*, const char*, int type) {
    return type == kTypeYesNo ? kNo : kOk;
}

IMenu* IGraphicsWinInterim::ShowPopupMenu(IMenu&, const IBounds&) { return nullptr; }

void IGraphicsWinInterim::ShowTextEntry(IControl*, const ITextStyle&, const IBounds&, const char*, IPlugParam*) {}

void IGraphicsWinInterim::HostDirectory(std::string& out) { out = Win32Folders::HostDirectory(); }

void IGraphicsWinInterim::ModuleDirectory(std::string& out) { out = Win32Folders::ModuleDirectory(); }

void IGraphicsWinInterim::DesktopDirectory(std::string& out) { out = Win32Folders::DesktopDirectory(); }

void IGraphicsWinInterim::AppDataDirectory(std::string& out) { out = Win32Folders::AppDataDirectory(); }

void IGraphicsWinInterim::PromptForFile(std::string& path, int, std::string&, const char*) { path.clear(); }

bool IGraphicsWinInterim::PromptForColour(IRgba&, const char*) { return false; }

bool IGraphicsWinInterim::OpenURL(const char*, const char*, const char*, const char*) { return false; }

void* IGraphicsWinInterim::OpenWindow(void*) { return nullptr; }

void IGraphicsWinInterim::CloseWindow() {}

void* IGraphicsWinInterim::WindowHandle() { return nullptr; }

std::unique_ptr<LICE_IBitmap> IGraphicsWinInterim::LoadPlatformBitmap(int, const char*) { return nullptr; }

std::unique_ptr<LICE_IFont> IGraphicsWinInterim::CreatePlatformFont(const ITextStyle&) { return nullptr; }
