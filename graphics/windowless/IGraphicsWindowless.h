#pragma once

#include <memory>
#include <string>

#include "graphics/IGraphics.h"

// The window layer of a binary that never shows its editor: the LV2 plug-ins'
// DSP binary, where hosts show the editor from a binary of its own, and for
// now the Windows module, until its Win32 window layer exists. The
// plug-in still builds its editor (its controls, their parameter bindings,
// and the mailbox through which the processing hands over the needle's
// value, which the plug-in reads back with PeekDisplayValue), but nothing is
// ever drawn: no window opens, and the binary holds no pictures and no fonts,
// so it links no picture decoder, font library or window system.
//
// Every picture is absent (LoadBitmap gives the empty reference, which every
// drawing operation skips) and so is every font. The window never opens;
// painting has nowhere to go; a popup menu or a file or colour dialog counts
// as cancelled, a text entry does not open, a message box answers its
// default (OK, or No for Yes/No) and no URL opens. The folders are the
// system's (PosixFolders or Win32Folders, from platform/).
//
// Threads: as for every context. Only the plug-in's meter hand-off
// (SetParameterFromPlugin for a non-parameter index) comes from the audio
// thread.
class IGraphicsWindowless : public IGraphics {
public:
    // Message box answers and types, with the Windows values.
    enum MessageBox : int { kOk = 1, kYes = 6, kNo = 7, kTypeOk = 0, kTypeYesNo = 4 };

    IGraphicsWindowless(IPlugBase* plugin, int width, int height, int frameRate = 0);
    ~IGraphicsWindowless() override;

    // ---- The window-layer operations ----------------------------------------
    // Unless said otherwise: called on the thread that owns the editor (the
    // host's thread that made the plug-in) by the context or its controls,
    // without a lock. None of them has anything to show.

    // False: there is no window. Called at the end of DrawDirty.
    bool PaintToWindow(const IBounds& area) override;
    void CancelTextEntry() override;
    int ShowMessageBox(const char* text, const char* caption, int type) override;
    IMenu* ShowPopupMenu(IMenu& menu, const IBounds& area) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& area, const char* text,
                       IPlugParam* param) override;
    void HostDirectory(std::string& out) override;
    void ModuleDirectory(std::string& out) override;
    void DesktopDirectory(std::string& out) override;
    void AppDataDirectory(std::string& out) override;
    void PromptForFile(std::string& path, int action, std::string& directory, const char* extensions) override;
    bool PromptForColour(IRgba& colour, const char* title) override;
    bool OpenURL(const char* url, const char* title, const char* confirmText, const char* failureText) override;
    // Null: this layer opens no window. Called by whoever would show the
    // editor (nobody in the LV2 DSP binary).
    void* OpenWindow(void* parent) override;
    void CloseWindow() override;
    // Null: never open.
    void* WindowHandle() override;
    // Null: this binary holds no pictures. Called by LoadBitmap under the
    // bitmap cache's lock, on the thread that builds the editor (the
    // plug-in's creation).
    std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) override;
    // Null: this binary has no fonts. Called by FindOrCreateFont under the
    // font cache's lock.
    std::unique_ptr<LICE_IFont> CreatePlatformFont(const ITextStyle& style) override;
};
