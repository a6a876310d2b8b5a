// The in-place text entry: an "EDIT" child of the editor's window over the
// control, subclassed so that Return commits, losing the focus cancels and
// characters a parameter cannot take are refused as they are typed. The
// redraw timer applies or drops it (IGraphicsWin::Redraw).
#include <windows.h>
#undef DrawText  // windows.h's macro would rename the drawing operations

#include <cstdlib>
#include <string>

#include "core/IPlugParam.h"
#include "graphics/controls/IControl.h"
#include "graphics/win32/IGraphicsWin.h"
#include "graphics/win32/IGraphicsWinEvents.h"

namespace {

constexpr DWORD kEntryStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE;  // 0x50000004
constexpr int kReadLimit = 32;  // characters of the entry's text that are read
constexpr int kBoldWeight = 700;

LRESULT CALLBACK EntryThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IGraphicsWinEvents::Entry(window, message, wParam, lParam);
}

DWORD Alignment(int align) {
    if (align == ITextStyle::kLeft) return ES_LEFT;
    if (align == ITextStyle::kRight) return ES_RIGHT;
    return ES_CENTER;
}

}  // namespace

void* IGraphicsWinEvents::EntryProcedure() { return reinterpret_cast<void*>(&EntryThunk); }

bool IGraphicsWin::EntryAccepts(int kind, unsigned c) {
    if (kind < 0 || c == '\b') return true;
    if ((c >= '0' && c <= '9') || c == '-' || c == '+') return true;
    return c == '.' && kind == IPlugParam::Continuous;
}

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle& style, const IBounds& area, const char* text,
                                 IPlugParam* param) {
    if (control == nullptr || entryWindow != nullptr || window == nullptr) return;
    HWND entry = CreateWindowExA(0, "EDIT", text ? text : "", kEntryStyle | Alignment(style.align), area.left,
                                 area.top, area.right - area.left + 1, area.bottom - area.top + 1,
                                 static_cast<HWND>(window), reinterpret_cast<HMENU>(kEntryControlId),
                                 static_cast<HINSTANCE>(instance), nullptr);
    if (entry == nullptr) return;
    char face[ITextStyle::kFontNameSize + 1] = {};
    for (int i = 0; i < ITextStyle::kFontNameSize; ++i) face[i] = style.fontName[i];
    HFONT font = CreateFontA(style.size, 0, 0, 0, style.style == ITextStyle::kBold ? kBoldWeight : FW_DONTCARE,
                             style.style == ITextStyle::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    if (font != nullptr) SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    entryFont = font;
    SendMessageA(entry, EM_SETSEL, 0, -1);
    SendMessageA(entry, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLimit()), 0);
    entryWindow = entry;
    entryControl = control;
    entryParam = param;
    SetFocus(entry);
    entryOldProc = reinterpret_cast<void*>(
        SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(IGraphicsWinEvents::EntryProcedure())));
    SetWindowLongPtrA(entry, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void IGraphicsWin::RemoveEntry() {
    if (entryWindow != nullptr) {
        HWND entry = static_cast<HWND>(entryWindow);
        if (entryOldProc != nullptr) SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryOldProc));
        entryWindow = nullptr;
        DestroyWindow(entry);
    }
    if (entryFont != nullptr) {
        DeleteObject(static_cast<HFONT>(entryFont));
        entryFont = nullptr;
    }
    entryParam = nullptr;
    entryControl = nullptr;
    entryOldProc = nullptr;
    entryState = kEntryIdle;
}

void IGraphicsWin::FinishEntry() {
    char typed[kReadLimit + 1] = {};
    GetWindowTextA(static_cast<HWND>(entryWindow), typed, sizeof typed);
    IControl* control = entryControl;
    IPlugParam* param = entryParam;
    RemoveEntry();
    if (control == nullptr) return;
    if (param == nullptr) {
        control->AcceptEnteredText(typed);
        return;
    }
    double value = 0.0;
    int listed = 0;
    const IPlugParam::ParamKind kind = param->Kind();
    if ((kind == IPlugParam::Switch || kind == IPlugParam::List) && param->FindValueText(typed, &listed)) {
        value = listed;
    } else {
        // The entry lets only digits and signs through for switches and
        // lists, so a typed number is the value itself, as for the other
        // kinds; text that is no number reads as 0.
        value = std::strtod(typed, nullptr);
    }
    control->SetValueFromUser(param->ToNormal(value));
}

intptr_t IGraphicsWinEvents::Entry(void* handle, unsigned message, uintptr_t wParam, intptr_t lParam) {
    HWND entry = static_cast<HWND>(handle);
    auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(entry, GWLP_USERDATA));
    if (g == nullptr || g->entryWindow != entry || g->entryOldProc == nullptr)
        return DefWindowProcA(entry, message, wParam, lParam);
    const auto previous = reinterpret_cast<WNDPROC>(g->entryOldProc);
    g->HideTooltip();
    switch (message) {
        case WM_SETFOCUS:
            g->entryState = IGraphicsWin::kEntryFocused;
            break;
        case WM_KILLFOCUS:
            g->entryState = IGraphicsWin::kEntryCancel;  // losing the focus cancels
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                g->entryState = IGraphicsWin::kEntryCommit;
                return 0;
            }
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 1) {
                g->entryState = IGraphicsWin::kEntryCommit;
                return 0;
            }
            break;
        case WM_GETDLGCODE:
            if (g->entryParam == nullptr) {
                LRESULT code = CallWindowProcA(previous, entry, message, wParam, lParam);
                const auto* queried = reinterpret_cast<const MSG*>(lParam);
                if (queried != nullptr && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN)
                    code |= DLGC_WANTALLKEYS;
                return code;
            }
            break;
        case WM_CHAR:
            if (g->entryParam != nullptr &&
                !IGraphicsWin::EntryAccepts(static_cast<int>(g->entryParam->Kind()), static_cast<unsigned>(wParam)))
                return 0;
            break;
        default:
            break;
    }
    return CallWindowProcA(previous, entry, message, wParam, lParam);
}
