#include "shell/CommandLine.h"

#include <array>

#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

namespace {

// clang-format off
constexpr std::array<CommandWord, 17> kWords{{
    {"volume-up", HOTKEY_VOLUME_UP, 0, "volume up (Ctrl + Up)"},
    {"volume-down", HOTKEY_VOLUME_DOWN, 0, "volume down (Ctrl + Down)"},
    {"mute", HOTKEY_MUTE, 0, "mute or unmute (Ctrl + Left)"},
    {"use-saved-volume", HOTKEY_USE_SAVED_VOLUME, 0, "use the saved volume level (Ctrl + Right)"},
    {"restart", HOTKEY_RESTART, 0, "restart the computer (Ctrl + Alt + R)"},
    {"shutdown", HOTKEY_SHUTDOWN, 0, "shut down (Ctrl + Alt + Enter, if Settings allows it)"},
    {"auto-shutdown", 0, ID_AUTO_SHUTDOWN, "open Auto Shutdown Function"},
    {"log-off", 0, ID_LOGOFF, "log off"},
    {"hibernate", 0, ID_HIBERNATE, "hibernate"},
    {"standby", 0, ID_STANDBY, "stand by"},
    {"save-volume", 0, ID_SAVE_VOLUME_LEVEL, "save the volume level"},
    {"restore-default-volume", 0, ID_RESTORE_DEFAULT_VOLUME_LEVEL, "restore the default volume level"},
    {"settings", 0, ID_SETTINGS, "open Settings"},
    {"advanced-options", 0, ID_ADVANCED_OPTIONS, "open Advanced Options"},
    {"help-dialog", 0, ID_HELP, "open Help"},
    {"about", 0, ID_ABOUT, "open About"},
    {"exit", 0, ID_EXIT, "end the running program"},
}};
// clang-format on

}  // namespace

std::span<const CommandWord> CommandWords() {
    return kWords;
}

const CommandWord* FindCommandWord(std::string_view word) {
    for (const CommandWord& entry : kWords)
        if (entry.word == word) return &entry;
    return nullptr;
}

CommandLine ParseCommandLine(std::span<const std::string_view> args) {
    if (args.empty()) return {};
    const std::string_view first = args.front();
    const CommandWord* command =
        first.starts_with("--") ? FindCommandWord(first.substr(2)) : nullptr;
    if (command == nullptr && first != "--help")
        return {CommandLine::Kind::Invalid, nullptr, first};
    if (args.size() > 1) return {CommandLine::Kind::Invalid, nullptr, args[1]};
    if (command == nullptr) return {CommandLine::Kind::Help, nullptr, {}};
    return {CommandLine::Kind::Send, command, {}};
}

std::string UsageText(std::string_view program) {
    std::string text = "Usage: " + std::string(program) + " [--COMMAND | --help]\n";
    text += "Without a command, starts HVX in the notification area (one instance at a time).\n";
    text += "With one, hands it to the running HVX, which acts as if its hotkey or menu item\n";
    text += "had been used:\n";
    for (const CommandWord& entry : kWords) {
        std::string option = "  --" + std::string(entry.word);
        option.resize(28, ' ');
        text += option + std::string(entry.does) + "\n";
    }
    return text;
}

WordResult CommandWordResult(const CMainFrame& frame, const CommandWord& command) {
    return command.hotkeyId == 0 && frame.TrayIcon.MenuRefused() ? WordResult::DialogOpen
                                                                 : WordResult::Taken;
}

WordResult RunCommandWord(CMainFrame& frame, const CommandWord& command) {
    const WordResult result = CommandWordResult(frame, command);
    if (result != WordResult::Taken) return result;
    if (command.hotkeyId != 0)
        frame.OnHotKey(command.hotkeyId);
    else
        frame.OnCommand(command.commandId);
    return result;
}

}  // namespace hvx
