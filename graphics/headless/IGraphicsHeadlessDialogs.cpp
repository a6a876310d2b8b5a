#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/IPlugParam.h"
#include "graphics/controls/IControl.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "graphics/platform/posix/PosixFolders.h"

// Popup menus, the in-place text entry, message boxes, file and colour
// dialogs, links and folders, answered from the caller's queues.

namespace {
constexpr size_t kEntryReadLimit = 32;  // the entry's text is read up to 32 characters

// Gives each menu's items consecutive command numbers, depth first, and
// finds the menu that holds `id`.
struct MenuNumbering {
    struct Range {
        IMenu* menu;
        int start;
    };
    std::vector<Range> ranges;

    int Number(IMenu& menu, int next) {
        ranges.push_back({&menu, next});
        next += menu.ItemCount();
        for (auto& item : menu.items)
            if (item->submenu) next = Number(*item->submenu, next);
        return next;
    }
    IMenu* Choose(int id) {
        for (const Range& r : ranges) {
            if (id >= r.start && id < r.start + r.menu->ItemCount()) {
                r.menu->chosenIndex = id - r.start;
                return r.menu;
            }
        }
        return nullptr;
    }
};

void ListItems(const IMenu& menu, std::vector<std::string>& texts, std::vector<int>& flags) {
    for (int i = 0; i < menu.ItemCount(); ++i) {
        texts.push_back(menu.DisplayText(i));
        flags.push_back(menu.Item(i)->flags);
    }
    for (const auto& item : menu.items)
        if (item->submenu) ListItems(*item->submenu, texts, flags);
}
}  // namespace

IMenu* IGraphicsHeadless::ShowPopupMenu(IMenu& menu, const IBounds& area) {
    ClearCapture();
    buttonDown = false;
    ++menusShown;
    lastMenuArea = area;
    lastMenuItems.clear();
    lastMenuFlags.clear();
    ListItems(menu, lastMenuItems, lastMenuFlags);
    MenuNumbering numbering;
    numbering.Number(menu, 0);
    IMenu* chosen = nullptr;
    if (!menuChoices.empty()) {
        const int id = menuChoices.front();
        menuChoices.pop_front();
        if (id >= 0) chosen = numbering.Choose(id);
    }
    // Separators and disabled entries cannot be picked.
    if (chosen) {
        const int flags = chosen->Item(chosen->chosenIndex)->flags;
        if (flags & (IMenuItem::kSeparator | IMenuItem::kDisabled | IMenuItem::kGreyed) || 
            chosen->Item(chosen->chosenIndex)->submenu) {
            chosen->chosenIndex = -1;
            chosen = nullptr;
        }
    }
    if (WindowHandle()) fullRepaintPending = true;
    return chosen;
}

bool IGraphicsHeadless::EntryAccepts(int paramKind, char c) {
    if (paramKind < 0) return true;
    if (c >= '0' && c <= '9') return true;
    if (c == '-' || c == '+') return true;
    return c == '.' && paramKind == IPlugParam::Continuous;
}

void IGraphicsHeadless::ShowTextEntry(IControl* control, const ITextStyle&, const IBounds& area, const char* text,
                                      IPlugParam* param) {
    if (!control || entry.open) return;
    entry = Entry();
    entry.open = true;
    entry.control = control;
    entry.param = param;
    entry.area = area;
    entry.text = text ? text : "";
    ClearCapture();
    buttonDown = false;
    if (!typedTexts.empty()) {
        const std::string typed = typedTexts.front();
        typedTexts.pop_front();
        TypeIntoEntry(typed);
    }
}

void IGraphicsHeadless::EnterText(const std::string& text) {
    if (entry.open) TypeIntoEntry(text);
}

void IGraphicsHeadless::TypeIntoEntry(const std::string& typed) {
    // The entry opens with its text selected, so typing replaces it.
    const int kind = entry.param ? static_cast<int>(entry.param->Kind()) : -1;
    const size_t limit = static_cast<size_t>(entry.control->TextEntryLimit());
    std::string text;
    for (char c : typed)
        if (EntryAccepts(kind, c) && text.size() < limit) text += c;
    entry.text = text;
    entry.action = EntryAction::kCommit;
}

void IGraphicsHeadless::CancelTextEntry() {
    if (entry.open) entry.action = EntryAction::kCancel;
}

void IGraphicsHeadless::FinishEntry() {
    if (entry.action == EntryAction::kCommit) {
        const std::string text = entry.text.substr(0, kEntryReadLimit);
        if (entry.param) {
            double value = 0.0;
            int listed = 0;
            const IPlugParam::ParamKind kind = entry.param->Kind();
            if ((kind == IPlugParam::Switch || kind == IPlugParam::List) &&
                entry.param->FindValueText(text.c_str(), &listed)) {
                value = listed;
            } else {
                // A number typed for a switch or list without a matching value
                // text is taken as the value itself, as for other kinds; text
                // that is no number reads as 0.
                value = std::strtod(text.c_str(), nullptr);
            }
            entry.control->SetValueFromUser(entry.param->ToNormal(value));
        } else {
            entry.control->AcceptEnteredText(text.c_str());
        }
    }
    CloseEntry();
}

void IGraphicsHeadless::CloseEntry() { entry = Entry(); }

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type) {
    messagesShown.push_back(std::string(caption ? caption : "") + ": " + (text ? text : ""));
    if (!messageBoxAnswers.empty()) {
        const int answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
        return answer;
    }
    return type == kTypeYesNo ? kNo : kOk;
}

void IGraphicsHeadless::HostDirectory(std::string& out) { out = PosixFolders::HostDirectory(); }

void IGraphicsHeadless::ModuleDirectory(std::string& out) { out = PosixFolders::ModuleDirectory(); }

void IGraphicsHeadless::DesktopDirectory(std::string& out) { out = PosixFolders::DesktopDirectory(); }

void IGraphicsHeadless::AppDataDirectory(std::string& out) { out = PosixFolders::AppDataDirectory(); }

void IGraphicsHeadless::PromptForFile(std::string& path, int, std::string& directory, const char*) {
    if (!WindowHandle() || fileChoices.empty()) {
        path.clear();
        return;
    }
    if (directory.empty()) DesktopDirectory(directory);
    path = fileChoices.front();
    fileChoices.pop_front();
    if (!path.empty()) directory = PosixFolders::FolderOf(path);
}

bool IGraphicsHeadless::PromptForColour(IRgba& colour, const char*) {
    if (!WindowHandle() || colourChoices.empty()) return false;
    const IRgba chosen = colourChoices.front();
    colourChoices.pop_front();
    colour.r = chosen.r;
    colour.g = chosen.g;
    colour.b = chosen.b;
    return true;
}

bool IGraphicsHeadless::OpenURL(const char* url, const char* title, const char* confirmText,
                                const char* failureText) {
    if (confirmText && ShowMessageBox(confirmText, title, kTypeYesNo) != kYes) return false;
    urlsOpened.push_back(url ? url : "");
    if (urlsOpen) return true;
    if (failureText) ShowMessageBox(failureText, title, kTypeOk);
    return false;
}
