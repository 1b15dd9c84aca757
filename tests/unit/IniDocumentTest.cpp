// The settings file text: value parsing, lookup rules and rewriting one value at a time.
#include <gtest/gtest.h>

#include "settings/IniDocument.h"

namespace hvx::test {
namespace {

constexpr const char* kKey = "Software\\Tessaron\\HVX";

TEST(IniDocument, ParseDwordTakesOnlyDecimal32BitValues) {
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    };
    for (const Case& k :
         {Case{"0", true, 0}, Case{"2800", true, 2800}, Case{" 7 ", true, 7},
          Case{"\t0042", true, 42}, Case{"4294967295", true, 4294967295u},
          Case{"4294967296", false, 0}, Case{"99999999999999999999", false, 0}, Case{"", false, 0},
          Case{"  ", false, 0}, Case{"-1", false, 0}, Case{"+1", false, 0}, Case{"0x10", false, 0},
          Case{"12ab", false, 0}, Case{"1 2", false, 0}, Case{"\"5\"", false, 0}}) {
        uint32_t value = 12345;
        EXPECT_EQ(ParseDword(k.text, value), k.ok) << '"' << k.text << '"';
        EXPECT_EQ(value, k.ok ? k.value : 12345u) << '"' << k.text << '"';
    }
}

TEST(IniDocument, ReadsBySectionAndNameIgnoringCaseAndBlanks) {
    const IniDocument doc(
        "; settings\r\n"
        "[Other]\n"
        "RegMode=9\n"
        "[ software\\TESSARON\\hvx ]\r\n"
        "  regmode = 7 \r\n"
        "RegVolumeStep=text\n"
        "RegMode=8\n"
        "junk line\n");
    uint32_t v = 0;
    ASSERT_TRUE(doc.ReadDword(kKey, "RegMode", v));
    EXPECT_EQ(v, 7u);  // the first entry counts, not the one in [Other]
    v = 99;
    EXPECT_FALSE(doc.ReadDword(kKey, "RegVolumeStep", v));  // malformed
    EXPECT_EQ(v, 99u);
    EXPECT_FALSE(doc.ReadDword(kKey, "RegAction", v));  // missing
    EXPECT_FALSE(doc.ReadDword("Software\\Tessaron", "RegMode", v));
    EXPECT_FALSE(IniDocument("").ReadDword(kKey, "RegMode", v));
    EXPECT_FALSE(IniDocument("\x01\x02garbage\xff").ReadDword(kKey, "RegMode", v));
}

TEST(IniDocument, WritesCreateReplaceAndKeepForeignLines) {
    IniDocument doc("# mine\n[Other]\nA=1\n");
    ASSERT_TRUE(doc.WriteDword(kKey, "RegMode", 7));
    ASSERT_TRUE(doc.WriteDword(kKey, "RegVolumeStep", 2800));
    ASSERT_TRUE(doc.WriteDword(kKey, "regmode", 4294967295u));  // same value, other case
    EXPECT_EQ(doc.Text(),
              "# mine\n[Other]\nA=1\n\n[Software\\Tessaron\\HVX]\nregmode=4294967295\n"
              "RegVolumeStep=2800\n");
    // A malformed value is replaced, and a new name joins the existing section, not the file
    // end.
    IniDocument bad("[Software\\Tessaron\\HVX]\nRegMode=abc\n\n[Z]\nB=2\n");
    ASSERT_TRUE(bad.WriteDword(kKey, "RegMode", 1));
    ASSERT_TRUE(bad.WriteDword(kKey, "RegAction", 5));
    EXPECT_EQ(bad.Text(), "[Software\\Tessaron\\HVX]\nRegMode=1\nRegAction=5\n\n[Z]\nB=2\n");
    uint32_t v = 0;
    EXPECT_TRUE(IniDocument(bad.Text()).ReadDword(kKey, "RegAction", v));
    EXPECT_EQ(v, 5u);
}

TEST(IniDocument, RefusesNamesTheFormatCannotHold) {
    IniDocument doc;
    for (const char* name : {"", "a=b", "line\nbreak", ";x", "#x", "[x"})
        EXPECT_FALSE(doc.WriteDword(kKey, name, 1)) << name;
    for (const char* section : {"", "a]b", "a\nb"})
        EXPECT_FALSE(doc.WriteDword(section, "RegMode", 1)) << section;
    EXPECT_EQ(doc.Text(), "");
}

}  // namespace
}  // namespace hvx::test
