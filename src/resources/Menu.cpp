#include "resources/Menu.h"

#include <array>

#include "resources/Resource.h"

namespace hvx {

namespace {
constexpr std::array<MenuEntry, 19> kTrayMenu{{
    {ID_AUTO_SHUTDOWN, "Auto Shutdown Function"},
    {0, nullptr},
    {ID_SHUTDOWN, "Shutdown"},
    {ID_RESTART, "Restart"},
    {ID_LOGOFF, "Log off"},
    {ID_HIBERNATE, "Hibernate"},
    {ID_STANDBY, "Standby"},
    {0, nullptr},
    {ID_SAVE_VOLUME_LEVEL, "Save Volume Level"},
    {ID_USE_SAVED_VOLUME_LEVEL, "Use Saved Volume Level"},
    {ID_RESTORE_DEFAULT_VOLUME_LEVEL, "Restore Default Volume Level"},
    {ID_MUTE, MENU_TEXT_MUTE},
    {0, nullptr},
    {ID_SETTINGS, "Settings"},
    {ID_ADVANCED_OPTIONS, "Advanced Options"},
    {0, nullptr},
    {ID_HELP, "Help"},
    {ID_ABOUT, "About"},
    {ID_EXIT, "Exit"},
}};
}  // namespace

std::span<const MenuEntry> TrayMenu() {
    return kTrayMenu;
}

}  // namespace hvx
