#include "graphics/windowless/IGraphicsWindowless.h"

IGraphicsWindowless::IGraphicsWindowless(IPlugBase* plugin, int width, int height, int frameRate)
    : IGraphics(plugin, width, height, frameRate) {}

IGraphicsWindowless::~IGraphicsWindowless() = default;

bool IGraphicsWindowless::PaintToWindow(const IBounds&) { return false; }

void IGraphicsWindowless::CancelTextEntry() {}

int IGraphicsWindowless::ShowMessageBox(const char*, const char*, int type) {
    return type == kTypeYesNo ? kNo : kOk;
}

IMenu* IGraphicsWindowless::ShowPopupMenu(IMenu&, const IBounds&) { return nullptr; }

void IGraphicsWindowless::ShowTextEntry(IControl*, const ITextStyle&, const IBounds&, const char*, IPlugParam*) {}

void IGraphicsWindowless::PromptForFile(std::string& path, int, std::string&, const char*) { path.clear(); }

bool IGraphicsWindowless::PromptForColour(IRgba&, const char*) { return false; }

bool IGraphicsWindowless::OpenURL(const char*, const char*, const char*, const char*) { return false; }

void* IGraphicsWindowless::OpenWindow(void*) { return nullptr; }

void IGraphicsWindowless::CloseWindow() {}

void* IGraphicsWindowless::WindowHandle() { return nullptr; }

std::unique_ptr<LICE_IBitmap> IGraphicsWindowless::LoadPlatformBitmap(int, const char*) { return nullptr; }

std::unique_ptr<LICE_IFont> IGraphicsWindowless::CreatePlatformFont(const ITextStyle&) { return nullptr; }
