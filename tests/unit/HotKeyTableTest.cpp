// The hotkeys as a desktop's shortcut service lists them: name, description, preferred trigger.
#include <gtest/gtest.h>

#include <set>

#include "resources/Resource.h"
#include "shell/HotKeyTable.h"

namespace hvx::test {
namespace {

TEST(HotKeyTable, NamesAndTriggersOfTheSixHotKeys) {
    const std::tuple<int, std::string_view, std::string_view> expected[] = {
        {HOTKEY_VOLUME_UP, "volume-up", "CTRL+Up"},
        {HOTKEY_VOLUME_DOWN, "volume-down", "CTRL+Down"},
        {HOTKEY_USE_SAVED_VOLUME, "use-saved-volume", "CTRL+Right"},
        {HOTKEY_MUTE, "mute", "CTRL+Left"},
        {HOTKEY_RESTART, "restart", "CTRL+ALT+r"},
        {HOTKEY_SHUTDOWN, "shutdown", "CTRL+ALT+Return"}};
    ASSERT_EQ(HotKeys().size(), std::size(expected));
    std::set<std::string_view> descriptions{""};  // each its own, none empty
    for (const auto& [id, name, trigger] : expected) {
        const HotKeyEntry* entry = FindHotKey(id);
        ASSERT_TRUE(entry != nullptr && entry->name == name && FindHotKey(name) == entry) << name;
        EXPECT_EQ(PreferredTrigger(entry->modifiers, entry->key), trigger);
        EXPECT_TRUE(descriptions.insert(entry->description).second) << name;
    }
    EXPECT_TRUE(FindHotKey("volume") == nullptr && FindHotKey(0) == nullptr);
    EXPECT_EQ(PreferredTrigger(MOD_KEY_CONTROL, 0x41), "");  // a key without a name here
}

}  // namespace
}  // namespace hvx::test
