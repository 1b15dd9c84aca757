#include "volume/StreamLevels.h"

#include <algorithm>
#include <cmath>

namespace hvx {

uint32_t ScalarToLevel(float scalar) {
    if (!(scalar > 0.0f)) return 0;  // also NaN
    if (scalar >= 1.0f) return kScalarLevelMaximum;
    return static_cast<uint32_t>(std::lround(static_cast<double>(scalar) * kScalarLevelMaximum));
}

float LevelToScalar(uint32_t level) {
    if (level >= kScalarLevelMaximum) return 1.0f;
    return static_cast<float>(static_cast<double>(level) / kScalarLevelMaximum);
}

bool LoudestLevel(std::span<const uint32_t> levels, uint32_t& loudest) {
    if (levels.empty()) return false;
    loudest = *std::max_element(levels.begin(), levels.end());
    return true;
}

std::vector<uint32_t> ScaleToLoudest(std::span<const uint32_t> levels, uint32_t value) {
    uint32_t loudest = 0;
    LoudestLevel(levels, loudest);
    std::vector<uint32_t> scaled;
    scaled.reserve(levels.size());
    for (uint32_t level : levels) {
        if (loudest == 0) {
            scaled.push_back(value);
            continue;
        }
        // 64 bits: level * value can pass 2^32; the result never passes value.
        const uint64_t product = static_cast<uint64_t>(level) * value;
        scaled.push_back(static_cast<uint32_t>((product + loudest / 2) / loudest));
    }
    return scaled;
}

}  // namespace hvx
