// The autostart entry of a desktop session: a Desktop Entry file whose Exec line starts this
// program by its full path, whatever characters the path holds.
#pragma once

#include <string>
#include <string_view>

namespace hvx {

// The path as one quoted argument of an Exec key, written as it must stand in the file: the
// quoting rules of the Exec key, then the escapes of a string value.
std::string DesktopExecArgument(std::string_view path);

// True for a name that makes a plain file name: not empty, no slash, no line break, not "." or
// "..".
bool IsDesktopEntryName(std::string_view name);

// The whole file: an application entry with this name that runs the program at path.
std::string AutostartEntryText(std::string_view name, std::string_view path);

}  // namespace hvx
