// The hotkeys as a desktop's shortcut service lists them: a fixed name, a description and the
// preferred trigger, one entry per hotkey.
#include <gtest/gtest.h>

#include <set>

#include "resources/Resource.h"
#include "shell/HotKeyTable.h"

namespace hvx::test {
namespace {

TEST(HotKeyTable, NamesAndTriggersOfTheSixHotKeys) {
    const struct {
        int id;
        std::string_view name, trigger;
    } expected[] = {
        {HOTKEY_VOLUME_UP, "volume-up", "CTRL+Up"},
        {HOTKEY_VOLUME_DOWN, "volume-down", "CTRL+Down"},
        {HOTKEY_USE_SAVED_VOLUME, "use-saved-volume", "CTRL+Right"},
        {HOTKEY_MUTE, "mute", "CTRL+Left"},
        {HOTKEY_RESTART, "restart", "CTRL+ALT+r"},
        {HOTKEY_SHUTDOWN, "shutdown", "CTRL+ALT+Return"},
    };
    ASSERT_EQ(HotKeys().size(), std::size(expected));
    std::set<std::string_view> descriptions;
    for (const auto& e : expected) {
        const HotKeyEntry* entry = FindHotKey(e.id);
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->name, e.name);
        EXPECT_EQ(FindHotKey(e.name), entry);
        EXPECT_EQ(PreferredTrigger(entry->modifiers, entry->key), e.trigger);
        descriptions.insert(entry->description);
    }
    EXPECT_EQ(descriptions.size(), std::size(expected));  // each its own, none empty
    EXPECT_FALSE(descriptions.contains(""));
}

TEST(HotKeyTable, UnknownNamesIdsAndKeys) {
    EXPECT_EQ(FindHotKey("volume"), nullptr);
    EXPECT_EQ(FindHotKey(""), nullptr);
    EXPECT_EQ(FindHotKey(0), nullptr);
    EXPECT_EQ(PreferredTrigger(MOD_KEY_CONTROL, 0x41), "");
}

}  // namespace
}  // namespace hvx::test
