#pragma once

#include <cstdint>
#include <memory>
#include <string>

class IMenu;

// One entry of a popup menu: its text, an optional submenu it owns, and flags.
class IMenuItem {
public:
    enum Flags : int32_t { kGreyed = 1, kDisabled = 2, kChecked = 4, kSeparator = 8 };

    explicit IMenuItem(std::string itemText = std::string(), int32_t itemFlags = 0);
    IMenuItem(std::string itemText, std::unique_ptr<IMenu> itemSubmenu);
    ~IMenuItem();

    std::string text;
    std::unique_ptr<IMenu> submenu;  // may be empty
    int32_t flags = 0;
};
