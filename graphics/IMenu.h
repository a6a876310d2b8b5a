#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IMenuItem.h"

// A popup menu as data: the window layer shows it and reports the choice by
// setting chosenIndex on the (sub)menu whose item was picked.
class IMenu {
public:
    // Numbering 0 shows the items as they are; 1, 2 and 3 prefix each with its
    // 1-based position as "%1d: %s", "%02d: %s" or "%03d: %s".
    explicit IMenu(int32_t numberingStyle = 0) : numbering(numberingStyle) {}

    IMenuItem* AddItem(std::string text, int32_t flags = 0);
    IMenuItem* AddSubmenu(std::string text, std::unique_ptr<IMenu> submenu);
    IMenuItem* AddSeparator();

    int ItemCount() const { return static_cast<int>(items.size()); }
    IMenuItem* Item(int index);
    const IMenuItem* Item(int index) const;
    // The text as the window layer shows it, with the numbering prefix.
    std::string DisplayText(int index) const;

    int32_t numbering = 0;
    int32_t chosenIndex = -1;
    std::vector<std::unique_ptr<IMenuItem>> items;
};
