// The command words: parsing, and each word doing what its hotkey or menu item does.

#include <tuple>

#include "shell/CommandLine.h"
#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using Kind = CommandLine::Kind;

TEST(CommandLine, OneWordHelpOrNothingAndAnythingElseIsInvalid) {
    // clang-format off
    const std::tuple<std::vector<std::string_view>, Kind, std::string_view> cases[] = {
        {{}, Kind::Start, ""}, {{"--help"}, Kind::Help, ""}, {{"--exit"}, Kind::Send, "exit"},
        {{"--help-dialog"}, Kind::Send, "help-dialog"}, {{"exit"}, Kind::Invalid, "exit"},
        {{"--Exit"}, Kind::Invalid, "--Exit"}, {{"--"}, Kind::Invalid, "--"}, {{"--mute", "--exit"}, Kind::Invalid, "--exit"}};
    // clang-format on
    for (const auto& [args, kind, word] : cases) {
        const CommandLine parsed = ParseCommandLine(args);
        EXPECT_EQ(parsed.kind, kind) << word;
        EXPECT_EQ(kind == Kind::Send ? parsed.command->word : parsed.bad, word);
    }
}

TEST(CommandLine, EachWordDoesWhatItsHotkeyOrMenuItemDoes) {
    // clang-format off
    const std::tuple<std::string_view, int, int> words[] = {  // word, hotkey, menu command
        {"volume-up", HOTKEY_VOLUME_UP, 0}, {"volume-down", HOTKEY_VOLUME_DOWN, 0}, {"mute", HOTKEY_MUTE, 0},
        {"use-saved-volume", HOTKEY_USE_SAVED_VOLUME, 0}, {"restart", HOTKEY_RESTART, 0}, {"shutdown", HOTKEY_SHUTDOWN, 0},
        {"auto-shutdown", 0, ID_AUTO_SHUTDOWN}, {"log-off", 0, ID_LOGOFF}, {"hibernate", 0, ID_HIBERNATE},
        {"standby", 0, ID_STANDBY}, {"save-volume", 0, ID_SAVE_VOLUME_LEVEL}, {"settings", 0, ID_SETTINGS},
        {"restore-default-volume", 0, ID_RESTORE_DEFAULT_VOLUME_LEVEL}, {"about", 0, ID_ABOUT},
        {"advanced-options", 0, ID_ADVANCED_OPTIONS}, {"help-dialog", 0, ID_HELP}, {"exit", 0, ID_EXIT}};
    // clang-format on
    EXPECT_EQ(CommandWords().size(), std::size(words));
    const auto seed = [](FakePlatform& f) {
        f.registry.Set("RegShutdownByUsingShortcut", 1);
        f.registry.Set("RegVolumeStep", 2800);  // so that up and down differ
    };
    for (const auto& [word, hotkey, command] : words) {
        Rig byWord(seed), byHand(seed);
        EXPECT_EQ(RunCommandWord(byWord.F(), *FindCommandWord(word)), WordResult::Taken);
        hotkey != 0 ? void(byHand.F().OnHotKey(hotkey)) : byHand.F().OnCommand(command);
        EXPECT_FALSE(byHand.fake.log.calls.empty()) << word;
        EXPECT_EQ(byWord.fake.log.calls, byHand.fake.log.calls) << word;
    }
    // The same refusals: no menu command while a dialog shows, the caller told so; no shutdown
    // by the shortcut unless Settings allows it, as the key itself; the volume still steps.
    Rig rig;
    rig.F().TrayIcon.DialogOpen = true;
    std::vector<WordResult> results;
    for (const char* word : {"about", "exit", "shutdown", "volume-up"})
        results.push_back(RunCommandWord(rig.F(), *FindCommandWord(word)));
    rig.F().TrayIcon.DialogOpen = false, rig.F().TrayIcon.SchedulerDialogsOpen = 1;
    results.push_back(CommandWordResult(rig.F(), *FindCommandWord("log-off")));
    using enum WordResult;
    EXPECT_EQ(results, (std::vector{DialogOpen, DialogOpen, Taken, Taken, DialogOpen}));
    EXPECT_EQ(rig.fake.log.calls, (Calls{"MixerSet 1 30000", "MixerSet 3 30000"}));
}

}  // namespace
}  // namespace hvx::test
