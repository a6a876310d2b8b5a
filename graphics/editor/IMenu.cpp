#include "graphics/IMenu.h"

#include <cstdio>
#include <utility>

IMenuItem::IMenuItem(std::string itemText, int32_t itemFlags) : text(std::move(itemText)), flags(itemFlags) {}

IMenuItem::IMenuItem(std::string itemText, std::unique_ptr<IMenu> itemSubmenu)
    : text(std::move(itemText)), submenu(std::move(itemSubmenu)) {}

IMenuItem::~IMenuItem() = default;

IMenuItem* IMenu::AddItem(std::string text, int32_t flags) {
    items.push_back(std::make_unique<IMenuItem>(std::move(text), flags));
    return items.back().get();
}

IMenuItem* IMenu::AddSubmenu(std::string text, std::unique_ptr<IMenu> submenu) {
    items.push_back(std::make_unique<IMenuItem>(std::move(text), std::move(submenu)));
    return items.back().get();
}

IMenuItem* IMenu::AddSeparator() { return AddItem(std::string(), IMenuItem::kSeparator); }

IMenuItem* IMenu::Item(int index) {
    return index >= 0 && index < ItemCount() ? items[static_cast<size_t>(index)].get() : nullptr;
}

const IMenuItem* IMenu::Item(int index) const {
    return index >= 0 && index < ItemCount() ? items[static_cast<size_t>(index)].get() : nullptr;
}

std::string IMenu::DisplayText(int index) const {
    const IMenuItem* item = Item(index);
    if (!item) return std::string();
    static const char* const kFormats[] = {nullptr, "%1d: %s", "%02d: %s", "%03d: %s"};
    if (numbering < 1 || numbering > 3) return item->text;
    const int length = std::snprintf(nullptr, 0, kFormats[numbering], index + 1, item->text.c_str());
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&out[0], out.size(), kFormats[numbering], index + 1, item->text.c_str());
    out.resize(static_cast<size_t>(length));
    return out;
}
