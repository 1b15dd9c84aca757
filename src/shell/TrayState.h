// What the icon tells at a glance: its tooltip (the name, the volume, the mute and the next
// scheduled action) and, through the icon itself, the mute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/AppSettings.h"

namespace hvx {

// The tip fits the 128 characters of the Windows notification icon's tip, its end included.
inline constexpr size_t MAX_TIP_LENGTH = 127;

struct VolumeState {
    std::optional<int64_t> masterPercent;  // none when the master level cannot be read
    std::optional<int64_t> wavePercent;    // none when there is no wave line
    bool muted = false;

    bool operator==(const VolumeState&) const = default;
};

// A level as a percentage of its line's range, rounded; past 100 for a level above the range
// (a sound server's over-amplification), 0 below it. None for a line with no range.
std::optional<int64_t> LevelPercent(uint32_t value, uint32_t minimum, uint32_t maximum);

// The schedule's next run as a person says it, e.g. "Shut down daily at 23:00" or "Alarm on
// Wednesdays at 07:30"; empty when no run will come (off, or a time or day that never occurs).
std::string ScheduleText(const AppSettings& settings);

// The tooltip: "HVX", then the volume line, then the schedule line, each only when there is
// something to say; at most MAX_TIP_LENGTH characters.
std::string TrayTipText(const VolumeState& volume, const AppSettings& settings);

}  // namespace hvx
