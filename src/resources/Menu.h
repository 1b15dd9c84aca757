// The tray icon's popup menu, top to bottom.
#pragma once

#include <span>

namespace hvx {

struct MenuEntry {
    int id;            // 0 for a separator
    const char* text;  // nullptr for a separator
};

std::span<const MenuEntry> TrayMenu();

inline constexpr const char* MENU_TEXT_MUTE = "Mute";
inline constexpr const char* MENU_TEXT_UNMUTE = "Unmute";

}  // namespace hvx
