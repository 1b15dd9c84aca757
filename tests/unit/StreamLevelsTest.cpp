// A line made of several streams: the loudest is read, the others scale with it; and the
// 0.0..1.0 scalar of Core Audio against the 0..65535 scale of stored levels.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "volume/StreamLevels.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAreArray;

TEST(StreamLevels, ScalarMapping) {
    const struct {
        float scalar;
        uint32_t level;
    } cases[] = {{0.0f, 0},   {1.0f, 65535},  {0.5f, 32768},
                 {-0.25f, 0}, {1.5f, 65535},  {std::nanf(""), 0},
                 {1e-6f, 0},  {0.25f, 16384}, {32768 / 65535.0f, 32768}};
    for (const auto& c : cases) EXPECT_EQ(ScalarToLevel(c.scalar), c.level) << c.scalar;
    EXPECT_EQ(LevelToScalar(70000), 1.0f);
    // Every stored level survives the trip through the scalar unchanged.
    for (uint32_t v = 0; v <= kScalarLevelMaximum; ++v)
        ASSERT_EQ(ScalarToLevel(LevelToScalar(v)), v);
}

TEST(StreamLevels, LoudestIsReadOthersScaleWithIt) {
    const struct {
        const char* what;
        std::vector<uint32_t> levels;
        uint32_t value;
        std::vector<uint32_t> written;
    } cases[] = {
        {"one stream takes the value", {1000}, 5000, {5000}},
        {"the ratio is kept on the way up", {40000, 20000, 10000}, 60000, {60000, 30000, 15000}},
        {"and on the way down, the loudest last", {20000, 40000}, 10000, {5000, 10000}},
        {"a silent stream stays silent", {30000, 0}, 60000, {60000, 0}},
        {"all silent: each gets the value", {0, 0}, 7000, {7000, 7000}},
        {"rounded to nearest", {3, 1}, 2, {2, 1}},
        {"no overflow at the top", {0xFFFFFFFF, 0x80000000}, 0xFFFFFFFF, {0xFFFFFFFF, 0x80000000}},
        {"to zero silences all", {500, 250}, 0, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_THAT(ScaleToLoudest(c.levels, c.value), ElementsAreArray(c.written)) << c.what;
        uint32_t loudest = 0;  // a silent stream is still a line
        EXPECT_TRUE(LoudestLevel(c.levels, loudest) && loudest == std::ranges::max(c.levels))
            << c.what;
    }
    uint32_t loudest = 123;
    EXPECT_FALSE(LoudestLevel({}, loudest)) << "no stream, no wave line";
    EXPECT_TRUE(ScaleToLoudest({}, 100).empty());
}

}  // namespace
}  // namespace hvx::test
