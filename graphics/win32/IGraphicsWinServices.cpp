// Links, folders, the host's main window (the owner of message boxes) and
// the tooltip.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <wininet.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <string>

#include "graphics/platform/win32/Win32Folders.h"
#include "graphics/win32/IGraphicsWin.h"

namespace {

constexpr int kClassNameSize = 128;
struct WindowSearch {
    const std::string* className;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindByClass(HWND candidate, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if (owner != search->processId) return TRUE;
    char name[kClassNameSize + 1] = {};
    GetClassNameA(candidate, name, kClassNameSize);
    if (*search->className != name) return TRUE;
    search->found = candidate;
    return FALSE;
}

}  // namespace

void* IGraphicsWin::MainWindow() {
    if (mainWindow != nullptr && IsWindow(static_cast<HWND>(mainWindow))) return mainWindow;
    mainWindow = nullptr;
    if (hostParent != nullptr) {
        HWND top = static_cast<HWND>(hostParent);
        for (HWND up = GetParent(top); up != nullptr; up = GetParent(up)) top = up;
        char name[kClassNameSize + 1] = {};
        GetClassNameA(top, name, kClassNameSize);
        mainWindow = top;
        mainWindowClass = name;
    } else if (!mainWindowClass.empty()) {
        WindowSearch search = {&mainWindowClass, GetCurrentProcessId(), nullptr};
        EnumWindows(&FindByClass, reinterpret_cast<LPARAM>(&search));
        mainWindow = search.found;
    }
    return mainWindow;
}

void IGraphicsWin::HideTooltip() {
    if (tooltipWindow == nullptr || window == nullptr) return;
    TOOLINFOA tool = {};
    tool.cbSize = 44;
    tool.hwnd = static_cast<HWND>(window);
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = const_cast<char*>("");
    SendMessageA(static_cast<HWND>(tooltipWindow), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    tooltipShown = false;
}

bool IGraphicsWin::OpenURL(const char* url, const char* title, const char* confirmText, const char* failureText) {
    HWND owner = static_cast<HWND>(MainWindow());
    if (confirmText != nullptr && MessageBoxA(owner, confirmText, title, MB_YESNO) != IDYES) return false;
    DWORD connection = 0;
    if (url != nullptr && InternetGetConnectedState(&connection, 0)) {
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32) return true;
    }
    if (failureText != nullptr) MessageBoxA(owner, failureText, title, MB_OK);
    return false;
}

void IGraphicsWin::HostDirectory(std::string& out) { out = Win32Folders::HostDirectory(); }

void IGraphicsWin::ModuleDirectory(std::string& out) {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(instance), path, MAX_PATH);
    out = n > 0 && n < MAX_PATH ? Win32Folders::FolderOf(std::string(path, n)) : std::string();
}

void IGraphicsWin::DesktopDirectory(std::string& out) { out = Win32Folders::DesktopDirectory(); }

void IGraphicsWin::AppDataDirectory(std::string& out) { out = Win32Folders::AppDataDirectory(); }
