#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "resources/ResourceIds.h"
#include "resources/WindowStyles.h"

namespace ravolin {

// A menu item; an item with id 0 and no caption is a separator, one with a caption and no id a submenu of
// `items` (the window may add items of its own to it).
struct MenuItem {
    std::string_view caption;  // UTF-8, "&" marks a mnemonic
    int id = 0;
    std::span<const MenuItem> items{};

    bool isSeparator() const { return id == 0 && caption.empty(); }
    bool isSubmenu() const { return id == 0 && !caption.empty(); }
};

struct MenuPopup {
    std::string_view caption;
    std::span<const MenuItem> items;
};

// One entry of an accelerator table: a virtual key with its flags and the command it sends.
struct Accelerator {
    std::uint8_t flags = 0;
    std::uint16_t key = 0;
    int command = 0;
};

// The menu bar of the main dialog.
std::span<const MenuPopup> mainMenu();

// Menu resource 133: the notification icon's menu, one pop-up.
std::span<const MenuPopup> trayMenu();

// Accelerator table 132.
std::span<const Accelerator> acceleratorTable();

}  // namespace ravolin
