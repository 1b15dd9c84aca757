// The command words: parsing, and each word reaching its hotkey or menu command.
#include <gtest/gtest.h>

#include "shell/CommandLine.h"
#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using Kind = CommandLine::Kind;

TEST(CommandLine, OneWordHelpOrNothingAndAnythingElseIsInvalid) {
    struct Case {
        std::vector<std::string_view> args;
        Kind kind;
        std::string_view word;  // the command, or the argument not understood
    };
    const Case cases[] = {
        {{}, Kind::Start, ""},
        {{"--help"}, Kind::Help, ""},
        {{"--volume-up"}, Kind::Send, "volume-up"},
        {{"--help-dialog"}, Kind::Send, "help-dialog"},
        {{"--exit"}, Kind::Send, "exit"},
        {{"volume-up"}, Kind::Invalid, "volume-up"},
        {{"--Volume-Up"}, Kind::Invalid, "--Volume-Up"},
        {{"--"}, Kind::Invalid, "--"},
        {{"-platform"}, Kind::Invalid, "-platform"},
        {{"--mute", "--exit"}, Kind::Invalid, "--exit"},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.kind, c.kind) << c.word;
        EXPECT_EQ(parsed.kind == Kind::Send ? parsed.command->word : parsed.bad, c.word);
    }
    const std::string usage = UsageText("hvx");
    for (const CommandWord& w : CommandWords())
        EXPECT_NE(usage.find("  --" + std::string(w.word) + " "), std::string::npos) << w.word;
}

TEST(CommandLine, EachWordDoesWhatItsHotkeyOrMenuItemDoes) {
    const std::pair<std::string_view, int> hotkeys[] = {
        {"volume-up", HOTKEY_VOLUME_UP}, {"volume-down", HOTKEY_VOLUME_DOWN},
        {"mute", HOTKEY_MUTE},           {"use-saved-volume", HOTKEY_USE_SAVED_VOLUME},
        {"restart", HOTKEY_RESTART},     {"shutdown", HOTKEY_SHUTDOWN}};
    const std::pair<std::string_view, int> commands[] = {
        {"auto-shutdown", ID_AUTO_SHUTDOWN},
        {"log-off", ID_LOGOFF},
        {"hibernate", ID_HIBERNATE},
        {"standby", ID_STANDBY},
        {"save-volume", ID_SAVE_VOLUME_LEVEL},
        {"restore-default-volume", ID_RESTORE_DEFAULT_VOLUME_LEVEL},
        {"settings", ID_SETTINGS},
        {"advanced-options", ID_ADVANCED_OPTIONS},
        {"help-dialog", ID_HELP},
        {"about", ID_ABOUT},
        {"exit", ID_EXIT}};
    const auto seed = [](FakePlatform& f) { f.registry.Set("RegShutdownByUsingShortcut", 1); };
    const auto check = [&](std::string_view word, const std::function<void(CMainFrame&)>& direct) {
        Rig byWord(seed), byHand(seed);
        ASSERT_NE(FindCommandWord(word), nullptr) << word;
        RunCommandWord(byWord.F(), *FindCommandWord(word));
        direct(byHand.F());
        EXPECT_FALSE(byHand.fake.log.calls.empty()) << word;
        EXPECT_EQ(byWord.fake.log.calls, byHand.fake.log.calls) << word;
    };
    for (const auto& [word, id] : hotkeys) check(word, [id](CMainFrame& f) { f.OnHotKey(id); });
    for (const auto& [word, id] : commands) check(word, [id](CMainFrame& f) { f.OnCommand(id); });
    EXPECT_EQ(CommandWords().size(), std::size(hotkeys) + std::size(commands));

    // The same refusals: no menu command while a menu dialog shows, and no shutdown by the
    // shortcut unless Settings allows it; the volume still steps.
    Rig rig;
    rig.F().TrayIcon.DialogOpen = true;
    RunCommandWord(rig.F(), *FindCommandWord("about"));
    RunCommandWord(rig.F(), *FindCommandWord("shutdown"));
    EXPECT_TRUE(rig.fake.log.calls.empty());
    RunCommandWord(rig.F(), *FindCommandWord("volume-up"));
    EXPECT_EQ(rig.Count("MixerSet 1"), 1u);
}

}  // namespace
}  // namespace hvx::test
