// The command line: one word per hotkey and per menu command, for desktops where the user binds
// keys to commands rather than the program grabbing them. A running instance is handed the word
// and runs it as if its hotkey or menu item had been used.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace hvx {

class CMainFrame;

struct CommandWord {
    std::string_view word;  // as given after "--", and as sent to the running instance
    int hotkeyId;           // the hotkey it stands for, or 0
    int commandId;          // else the menu command it stands for
    std::string_view does;  // one line of the usage text
};

std::span<const CommandWord> CommandWords();
// The entry of a word (without the leading "--"), or nullptr for anything else.
const CommandWord* FindCommandWord(std::string_view word);

struct CommandLine {
    enum class Kind { Start, Help, Send, Invalid };
    Kind kind = Kind::Start;
    const CommandWord* command = nullptr;  // for Send
    std::string_view bad;                  // for Invalid: the argument not understood
};

// args: the arguments after the program name. None starts the program; one "--help" or one
// "--<word>" is understood; anything else is invalid.
CommandLine ParseCommandLine(std::span<const std::string_view> args);
std::string UsageText(std::string_view program);

// What becomes of a word handed to the running program: a hotkey's word is taken at any time, a
// menu command's only while the menu itself would open, so not while one of its dialogs shows.
enum class WordResult { Taken, DialogOpen };
WordResult CommandWordResult(const CMainFrame& frame, const CommandWord& command);
// Runs the word as its hotkey or menu item would, if it is taken; a refused word does nothing.
WordResult RunCommandWord(CMainFrame& frame, const CommandWord& command);

}  // namespace hvx
