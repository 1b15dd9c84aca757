#include "settings/DesktopEntry.h"

namespace hvx {

namespace {

// The escapes of a string value; a leading blank would otherwise be dropped by readers.
std::string EscapeStringValue(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case ' ':
                out += i == 0 ? "\\s" : " ";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

}  // namespace

std::string DesktopExecArgument(std::string_view path) {
    // Inside double quotes the Exec key reserves ", `, $ and \ (each escaped by a backslash);
    // a literal % is doubled everywhere, or it would start a field code.
    std::string quoted = "\"";
    for (char c : path) {
        switch (c) {
            case '"':
            case '`':
            case '$':
            case '\\':
                quoted += '\\';
                quoted += c;
                break;
            case '%':
                quoted += "%%";
                break;
            default:
                quoted += c;
                break;
        }
    }
    quoted += '"';
    return EscapeStringValue(quoted);
}

bool IsDesktopEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\r\n") == std::string_view::npos;
}

std::string AutostartEntryText(std::string_view name, std::string_view path) {
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + EscapeStringValue(name) + "\n";
    text += "Exec=" + DesktopExecArgument(path) + "\n";
    text += "Icon=hvx\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    return text;
}

}  // namespace hvx
