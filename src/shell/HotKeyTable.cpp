#include "shell/HotKeyTable.h"

#include <array>

#include "resources/Resource.h"

namespace hvx {

namespace {

constexpr std::array<HotKeyEntry, 6> kHotKeys{{
    {HOTKEY_VOLUME_UP, MOD_KEY_CONTROL, KEY_UP, "volume-up", "Volume up"},
    {HOTKEY_VOLUME_DOWN, MOD_KEY_CONTROL, KEY_DOWN, "volume-down", "Volume down"},
    {HOTKEY_USE_SAVED_VOLUME, MOD_KEY_CONTROL, KEY_RIGHT, "use-saved-volume",
     "Use the saved volume level"},
    {HOTKEY_MUTE, MOD_KEY_CONTROL, KEY_LEFT, "mute", "Mute or unmute"},
    {HOTKEY_RESTART, MOD_KEY_CONTROL | MOD_KEY_ALT, KEY_R, "restart", "Restart the computer"},
    {HOTKEY_SHUTDOWN, MOD_KEY_CONTROL | MOD_KEY_ALT, KEY_RETURN, "shutdown",
     "Shut the computer down (when enabled in Settings)"},
}};

std::string_view KeysymName(uint32_t key) {
    switch (key) {
        case KEY_UP:
            return "Up";
        case KEY_DOWN:
            return "Down";
        case KEY_LEFT:
            return "Left";
        case KEY_RIGHT:
            return "Right";
        case KEY_RETURN:
            return "Return";
        case KEY_R:
            return "r";
        default:
            return {};
    }
}

}  // namespace

std::span<const HotKeyEntry> HotKeys() {
    return kHotKeys;
}

const HotKeyEntry* FindHotKey(int id) {
    for (const HotKeyEntry& entry : kHotKeys)
        if (entry.id == id) return &entry;
    return nullptr;
}

const HotKeyEntry* FindHotKey(std::string_view name) {
    for (const HotKeyEntry& entry : kHotKeys)
        if (entry.name == name) return &entry;
    return nullptr;
}

std::string PreferredTrigger(uint32_t modifiers, uint32_t key) {
    const std::string_view name = KeysymName(key);
    if (name.empty()) return {};
    std::string trigger;
    if (modifiers & MOD_KEY_CONTROL) trigger += "CTRL+";
    if (modifiers & MOD_KEY_ALT) trigger += "ALT+";
    trigger += name;
    return trigger;
}

}  // namespace hvx
