// The six global hotkeys: the combination registered with the window system, and the name,
// description and preferred trigger under which a desktop's shortcut service (the
// GlobalShortcuts portal on Wayland) lists them for the user to confirm or change.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace hvx {

struct HotKeyEntry {
    int id;              // HOTKEY_*
    uint32_t modifiers;  // MOD_KEY_*
    uint32_t key;        // KEY_*
    std::string_view name;
    std::string_view description;
};

std::span<const HotKeyEntry> HotKeys();
// nullptr for an id or name that is not one of the six.
const HotKeyEntry* FindHotKey(int id);
const HotKeyEntry* FindHotKey(std::string_view name);
// The combination written the way freedesktop.org's shortcut triggers are:
// modifiers in capitals, then the key's keysym name ("CTRL+ALT+r"); empty for a key it cannot name.
std::string PreferredTrigger(uint32_t modifiers, uint32_t key);

}  // namespace hvx
