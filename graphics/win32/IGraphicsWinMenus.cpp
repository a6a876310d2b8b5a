// Popup menus, message boxes, and the file and colour dialogs.
#include <windows.h>
#include <commdlg.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/IMenu.h"
#include "graphics/win32/IGraphicsWin.h"

namespace {

constexpr DWORD kColourFlags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;  // 0x193
constexpr DWORD kSaveFlags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;                                  // 0x802
constexpr DWORD kOpenFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;                                    // 0x1800
constexpr int kPathSize = 256;

// Each menu's first command number, depth first from 0 for the top menu.
struct MenuRange {
    IMenu* menu;
    int start;
};

HMENU BuildMenu(IMenu& menu, int& next, std::vector<MenuRange>& ranges) {
    HMENU native = CreatePopupMenu();
    const int start = next;
    ranges.push_back({&menu, start});
    next += menu.ItemCount();
    for (int i = 0; i < menu.ItemCount(); ++i) {
        IMenuItem* item = menu.Item(i);
        if (item->flags & IMenuItem::kSeparator) {
            AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string text = menu.DisplayText(i);
        if (item->submenu) {
            HMENU sub = BuildMenu(*item->submenu, next, ranges);
            AppendMenuA(native, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
            continue;
        }
        UINT flags = MF_STRING;
        if (item->flags & IMenuItem::kGreyed) flags |= MF_GRAYED;
        if (item->flags & IMenuItem::kDisabled) flags |= MF_DISABLED;
        if (item->flags & IMenuItem::kChecked) flags |= MF_CHECKED;
        AppendMenuA(native, flags, static_cast<UINT_PTR>(start + i), text.c_str());
    }
    return native;
}

// The colour dialog's hook: gives the dialog its title.
const char* colourTitle = nullptr;
UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG && colourTitle != nullptr) SetWindowTextA(dialog, colourTitle);
    return 0;
}

}  // namespace

IMenu* IGraphicsWin::ShowPopupMenu(IMenu& menu, const IBounds& area) {
    ClearCapture();
    if (window == nullptr) return nullptr;
    HWND owner = static_cast<HWND>(window);
    std::vector<MenuRange> ranges;
    int next = 0;
    HMENU native = BuildMenu(menu, next, ranges);
    POINT at = {area.left, area.bottom};
    ClientToScreen(owner, &at);
    IMenu* chosen = nullptr;
    // The choice arrives as a command message posted to the owner.
    const BOOL tracked = TrackPopupMenu(native, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
    MSG command = {};
    if (tracked && PeekMessageA(&command, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) && command.wParam <= 0xFFFF) {
        const int id = static_cast<int>(command.wParam);
        for (const MenuRange& r : ranges) {
            if (id >= r.start && id < r.start + r.menu->ItemCount()) {
                r.menu->chosenIndex = id - r.start;
                chosen = r.menu;
                break;
            }
        }
    }
    DestroyMenu(native);
    InvalidateRect(owner, nullptr, FALSE);
    return chosen;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type) {
    return MessageBoxA(static_cast<HWND>(MainWindow()), text, caption, static_cast<UINT>(type));
}

bool IGraphicsWin::PromptForColour(IRgba& colour, const char* title) {
    if (window == nullptr) return false;
    if (!customColours) customColours.reset(new uint32_t[16]());
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = static_cast<HWND>(window);
    choose.rgbResult = colour.ColourRef();
    choose.lpCustColors = reinterpret_cast<COLORREF*>(customColours.get());
    choose.Flags = kColourFlags;
    choose.lpfnHook = &ColourHook;
    colourTitle = title;
    const bool chosen = ChooseColorA(&choose) != 0;
    colourTitle = nullptr;
    if (!chosen) return false;
    colour.r = GetRValue(choose.rgbResult);
    colour.g = GetGValue(choose.rgbResult);
    colour.b = GetBValue(choose.rgbResult);
    return true;
}

void IGraphicsWin::PromptForFile(std::string& path, int action, std::string& directory, const char* extensions) {
    if (window == nullptr) {
        path.clear();
        return;
    }
    char file[kPathSize + 1] = {};
    std::snprintf(file, sizeof file, "%s", path.c_str());
    if (directory.empty()) DesktopDirectory(directory);

    // "png jpg" gives "*.png;*.jpg" as both the description and the pattern.
    std::string pattern, firstExtension;
    for (const char* p = extensions ? extensions : ""; *p != '\0';) {
        while (*p == ' ') ++p;
        const char* end = p;
        while (*end != '\0' && *end != ' ') ++end;
        if (end > p) {
            if (firstExtension.empty()) firstExtension.assign(p, end);
            if (!pattern.empty()) pattern += ';';
            pattern += "*.";
            pattern.append(p, end);
        }
        p = end;
    }
    std::string filter = pattern;
    filter += '\0';
    filter += pattern;
    filter += '\0';
    filter += '\0';

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(window);
    dialog.lpstrFilter = pattern.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = directory.c_str();
    dialog.lpstrDefExt = firstExtension.empty() ? nullptr : firstExtension.c_str();
    bool chosen = false;
    if (action == 1) {
        dialog.Flags = kSaveFlags;
        chosen = GetSaveFileNameA(&dialog) != 0;
    } else {
        dialog.Flags = kOpenFlags;
        chosen = GetOpenFileNameA(&dialog) != 0;
    }
    if (!chosen) {
        path.clear();
        return;
    }
    char drive[_MAX_DRIVE] = {}, folder[_MAX_DIR] = {};
    _splitpath(file, drive, folder, nullptr, nullptr);
    directory = std::string(drive) + folder;
    path = file;
}
