// The line and control ids both Linux mixers hand to the behaviour: the same on either path, so
// nothing above the mixer can tell which one answers.
#pragma once

#include <cstdint>

namespace hvx::linux_platform {

inline constexpr uint32_t kSpeakersLine = 1;
inline constexpr uint32_t kWaveLine = 2;
inline constexpr uint32_t kMasterVolume = 1;
inline constexpr uint32_t kMasterMute = 2;
inline constexpr uint32_t kWaveVolume = 3;

}  // namespace hvx::linux_platform
