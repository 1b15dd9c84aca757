// The autostart entry: the Exec line must bring back the exact path for any characters in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/DesktopEntry.h"

namespace hvx::test {
namespace {

// What a desktop reads back from the Exec value: string escapes first, then the quoting of the
// Exec key, then %% as a literal percent. Returns the single argument, or "<bad>".
std::string ReadExecArgument(const std::string& value) {
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            unescaped += value[i];
            continue;
        }
        const char n = value[++i];
        unescaped += n == 's' ? ' ' : n == 'n' ? '\n' : n == 't' ? '\t' : n == 'r' ? '\r' : n;
    }
    if (unescaped.size() < 2 || unescaped.front() != '"' || unescaped.back() != '"') return "<bad>";
    std::string arg;
    for (size_t i = 1; i + 1 < unescaped.size(); ++i) {
        char c = unescaped[i];
        if (c == '\\') {
            c = unescaped[++i];
            if (std::string("\"`$\\").find(c) == std::string::npos) return "<bad>";
        } else if (c == '"' || c == '`' || c == '$') {
            return "<bad>";  // reserved characters must be escaped inside quotes
        } else if (c == '%') {
            if (unescaped[++i] != '%') return "<bad>";
        }
        arg += c;
    }
    return arg;
}

TEST(DesktopEntry, ExecArgumentRoundTripsAwkwardPaths) {
    for (const std::string path :
         {"/usr/bin/hvx", "/home/a b/My Programs/hvx", "/opt/100%/hvx", "/tmp/\"q\"/hvx",
          "/tmp/$HOME/`id`/hvx", "/tmp/back\\slash/hvx", "/tmp/tab\there", "/tmp/new\nline",
          "/tmp/ünïcødé/hvx", " /leading/blank"}) {
        const std::string value = DesktopExecArgument(path);
        EXPECT_EQ(value.find('\n'), std::string::npos) << path;
        EXPECT_EQ(ReadExecArgument(value), path) << value;
    }
    EXPECT_EQ(DesktopExecArgument("/a b/c$d\\e%f"), "\"/a b/c\\\\$d\\\\\\\\e%%f\"");
}

TEST(DesktopEntry, EntryNamesAreSingleFileNames) {
    EXPECT_TRUE(IsDesktopEntryName("HVX"));
    for (const char* bad : {"", ".", "..", "a/b", "../HVX", "a\nb"})
        EXPECT_FALSE(IsDesktopEntryName(bad)) << bad;
}

TEST(DesktopEntry, AutostartTextNamesAndRunsTheProgram) {
    const std::string text = AutostartEntryText("HVX", "/usr/bin/hvx");
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    for (const char* line : {"\nType=Application\n", "\nName=HVX\n", "\nExec=\"/usr/bin/hvx\"\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace hvx::test
