// The string table: the settings key path and the registry value names, loaded by id.
#pragma once

#include <string_view>

namespace hvx {

inline constexpr int IDS_REGISTRY_KEY = 1;
inline constexpr int IDS_REG_MODE = 2;
inline constexpr int IDS_REG_SET_PREDEFINED_VOLUME_AT_STARTUP = 3;
inline constexpr int IDS_REG_SHUTDOWN_BY_USING_SHORTCUT = 4;
inline constexpr int IDS_REG_PRE_MASTER_VOLUME = 5;
inline constexpr int IDS_REG_PRE_WAVE_VOLUME = 6;
inline constexpr int IDS_REG_RUN_AT_STARTUP = 7;
inline constexpr int IDS_REG_DEFAULT_MASTER_VOLUME = 8;
inline constexpr int IDS_REG_DEFAULT_WAVE_VOLUME = 9;
inline constexpr int IDS_REG_VOLUME_STEP = 10;
inline constexpr int IDS_REG_SCHEDULED_ACTION = 12;
inline constexpr int IDS_REG_DIALOG_BEFORE_ACTION = 13;
inline constexpr int IDS_REG_EXACT_TIME = 14;
inline constexpr int IDS_REG_ACTION = 15;
inline constexpr int IDS_REG_ACTION_TYPE = 16;
inline constexpr int IDS_REG_ACTION_DAY = 17;
inline constexpr int IDS_REG_DISABLE_ONCE = 18;
inline constexpr int IDS_REG_HIDE_VOLUME_INDICATOR = 19;

// The string with this id, or an empty view when the table has none.
std::string_view LoadString(int id);

}  // namespace hvx
