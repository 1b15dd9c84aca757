#include "resources/Strings.h"

#include <array>
#include <utility>

namespace hvx {

namespace {
constexpr std::array<std::pair<int, std::string_view>, 18> kStringTable{{
    {IDS_REGISTRY_KEY, "Software\\Tessaron\\HVX"},
    {IDS_REG_MODE, "RegMode"},
    {IDS_REG_SET_PREDEFINED_VOLUME_AT_STARTUP, "RegSetPredefinedVolumeAtStartup"},
    {IDS_REG_SHUTDOWN_BY_USING_SHORTCUT, "RegShutdownByUsingShortcut"},
    {IDS_REG_PRE_MASTER_VOLUME, "RegPreMasterVolume"},
    {IDS_REG_PRE_WAVE_VOLUME, "RegPreWaveVolume"},
    {IDS_REG_RUN_AT_STARTUP, "RegRunAtStartup"},
    {IDS_REG_DEFAULT_MASTER_VOLUME, "RegDefaultMasterVolume"},
    {IDS_REG_DEFAULT_WAVE_VOLUME, "RegDefaultWaveVolume"},
    {IDS_REG_VOLUME_STEP, "RegVolumeStep"},
    {IDS_REG_SCHEDULED_ACTION, "RegScheduledAction"},
    {IDS_REG_DIALOG_BEFORE_ACTION, "RegDialogBeforeAction"},
    {IDS_REG_EXACT_TIME, "RegExactTime"},
    {IDS_REG_ACTION, "RegAction"},
    {IDS_REG_ACTION_TYPE, "RegActionType"},
    {IDS_REG_ACTION_DAY, "RegActionDay"},
    {IDS_REG_DISABLE_ONCE, "RegDisableOnce"},
    {IDS_REG_HIDE_VOLUME_INDICATOR, "RegHideVolumeIndicator"},
}};
}  // namespace

std::string_view LoadString(int id) {
    for (const auto& [key, text] : kStringTable)
        if (key == id) return text;
    return {};
}

}  // namespace hvx
