#include "shell/TrayState.h"

#include <array>
#include <cstdio>

namespace hvx {

namespace {

constexpr int32_t kOnce = 0;
constexpr int32_t kWeekly = 2;
constexpr int32_t kMinutesPerDay = 24 * 60;

constexpr std::array<const char*, 5> kActions{"Shut down", "Restart", "Log off", "Hibernate",
                                              "Stand by"};
constexpr std::array<const char*, 7> kWeekdays{"Sundays",   "Mondays", "Tuesdays", "Wednesdays",
                                               "Thursdays", "Fridays", "Saturdays"};

}  // namespace

std::optional<int64_t> LevelPercent(uint32_t value, uint32_t minimum, uint32_t maximum) {
    if (maximum <= minimum) return std::nullopt;
    if (value <= minimum) return 0;
    const int64_t range = int64_t{maximum} - minimum;
    return ((int64_t{value} - minimum) * 100 + range / 2) / range;
}

std::string ScheduleText(const AppSettings& s) {
    // The minute tick matches the stored minute of the day exactly: any other never comes.
    if (s.ScheduledAction == 0 || s.ExactTime < 0 || s.ExactTime >= kMinutesPerDay) return {};
    std::string when;
    if (s.ActionType == kWeekly) {
        if (s.ActionDay < 1 || s.ActionDay > 7) return {};  // a day that never comes
        when = std::string("on ") + kWeekdays[static_cast<size_t>(s.ActionDay - 1)];
    } else {
        // Only the once-schedule is used up by its run; any other type runs every day.
        when = s.ActionType == kOnce ? "once" : "daily";
    }
    const bool known = s.Action >= 0 && s.Action < static_cast<int32_t>(kActions.size());
    char text[64];
    std::snprintf(text, sizeof text, "%s %s at %02d:%02d",
                  known ? kActions[static_cast<size_t>(s.Action)] : "Alarm", when.c_str(),
                  s.ExactTime / 60, s.ExactTime % 60);
    return text;
}

std::string TrayTipText(const VolumeState& volume, const AppSettings& settings) {
    std::string levels;
    const auto add = [&levels](const std::string& part) {
        levels += (levels.empty() ? "" : ", ") + part;
    };
    if (volume.masterPercent) add("Volume " + std::to_string(*volume.masterPercent) + "%");
    if (volume.wavePercent) add("wave " + std::to_string(*volume.wavePercent) + "%");
    if (volume.muted) add(levels.empty() ? "Muted" : "muted");

    std::string tip = "HVX";
    for (const std::string& line : {levels, ScheduleText(settings)})
        if (!line.empty()) tip += "\n" + line;
    if (tip.size() > MAX_TIP_LENGTH) tip.resize(MAX_TIP_LENGTH);
    return tip;
}

}  // namespace hvx
