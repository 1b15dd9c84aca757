// Levels of a line that stands for several streams (the applications playing on the output
// device), and the mapping between a 0.0..1.0 scalar and the 0..65535 integer scale the mixer
// works in.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace hvx {

constexpr uint32_t kScalarLevelMaximum = 65535;

// 0.0..1.0 to 0..65535, rounded to nearest; out-of-range and NaN scalars are clamped (NaN to 0).
uint32_t ScalarToLevel(float scalar);
// 0..65535 to 0.0..1.0; larger values are 1.0. ScalarToLevel(LevelToScalar(v)) == v.
float LevelToScalar(uint32_t level);

// The group reads as its loudest stream; no stream has no level (false).
bool LoudestLevel(std::span<const uint32_t> levels, uint32_t& loudest);

// New levels for a write of `value` to the group: the loudest stream gets `value` and every
// other one is scaled by the same factor, so the balance between them is kept. When every
// stream is silent there is no balance to keep, and each gets `value`.
std::vector<uint32_t> ScaleToLoudest(std::span<const uint32_t> levels, uint32_t value);

}  // namespace hvx
