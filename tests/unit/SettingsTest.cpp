// The settings record in the registry store and the Settings dialog, and the Linux build's
// settings file and autostart entry.

#include <map>
#include <tuple>

#include "settings/AppSettings.h"
#include "settings/DesktopEntry.h"
#include "settings/IniDocument.h"
#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

// Every value name with a value of its own, in the record's field order, so the record they
// load into is {1, 2, ..., 17}: a name paired with the wrong field shows up in both directions.
// clang-format off
const std::map<std::string, uint32_t> kStored = {
    {"RegRunAtStartup", 1}, {"RegMode", 2}, {"RegShutdownByUsingShortcut", 3},
    {"RegSetPredefinedVolumeAtStartup", 4}, {"RegPreMasterVolume", 5}, {"RegPreWaveVolume", 6},
    {"RegDefaultMasterVolume", 7}, {"RegDefaultWaveVolume", 8}, {"RegVolumeStep", 9},
    {"RegScheduledAction", 10}, {"RegDialogBeforeAction", 11}, {"RegExactTime", 12},
    {"RegAction", 13}, {"RegActionType", 14}, {"RegActionDay", 15}, {"RegDisableOnce", 16},
    {"RegHideVolumeIndicator", 17}};
// clang-format on
const AppSettings kLoaded{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

TEST(SettingsStore, LoadTakesEachNamedValueAndZeroForAnythingMissingOrMistyped) {
    FakePlatform fake;
    AppSettings settings = kLoaded;
    LoadSettings(settings, fake.registry);  // no key at all
    EXPECT_EQ(settings, AppSettings{});

    for (const auto& [name, value] : kStored) fake.registry.Set(name, value);
    LoadSettings(settings, fake.registry);
    EXPECT_EQ(settings, kLoaded);

    fake.registry.Set("RegExactTime", 5000);  // out of range: kept as stored
    fake.registry.Set("RegPreMasterVolume", 0xFFFFFFFF);
    fake.registry.SetString("RegVolumeStep");  // wrong type
    fake.registry.keys.begin()->second.erase("RegAction");
    LoadSettings(settings, fake.registry);
    AppSettings expected = kLoaded;
    expected.ExactTime = 5000;
    expected.PreMasterVolume = -1;
    expected.VolumeStep = 0;
    expected.Action = 0;
    EXPECT_EQ(settings, expected);
}

TEST(SettingsStore, SaveWritesEachFieldUnderItsNameReplacingWrongTypes) {
    FakePlatform fake;
    fake.registry.SetString("RegVolumeStep");
    SaveSettings(kLoaded, fake.registry, fake.runEntry);
    ASSERT_EQ(fake.registry.keys.size(), 1u);
    EXPECT_EQ(fake.registry.keys.begin()->first, "Software\\Tessaron\\HVX");
    std::map<std::string, uint32_t> written;
    for (const auto& [name, value] : fake.registry.keys.begin()->second)
        if (value) written[name] = *value;
    EXPECT_EQ(written, kStored);
}

TEST(SettingsStore, EverySaveWritesOrDeletesTheRunEntryAndAFailingWriteStopsNothing) {
    FakePlatform fake;
    fake.registry.failWritesOf = {"RegMode", "RegRunAtStartup"};
    AppSettings settings{.RunAtStartup = 5, .Mode = 1, .VolumeStep = 2800};  // non-zero is on
    SaveSettings(settings, fake.registry, fake.runEntry);
    SaveSettings(settings, fake.registry, fake.runEntry);
    settings.RunAtStartup = 0;
    SaveSettings(settings, fake.registry, fake.runEntry);
    SaveSettings(settings, fake.registry, fake.runEntry);
    const std::string write = "WriteRunEntry HVX C:\\Program Files\\HVX\\HVX.exe";
    EXPECT_EQ(fake.log.Count(write), 2u);
    EXPECT_EQ(fake.log.Count("DeleteRunEntry HVX"), 2u);
    // The entry follows RunAtStartup at once, even when that value could not be written.
    EXPECT_EQ(fake.log.IndexOf(write), fake.log.IndexOf("WriteDword RegRunAtStartup 5") + 1);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 4 * 17u);
    EXPECT_EQ(fake.registry.Get("RegVolumeStep"), 2800u);
}

// OK with nothing changed: what the dialog shows for stored values, and what goes back.
TEST(SettingsDlg, StoredValuesMapToControlsAndBackAndOkAlwaysSaves) {
    // clang-format off
    const std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, const char*, AppSettings>
        cases[] = {
        // stored run, mode, shortcut, saved volume, hidden indicator (non-zero hides); shown;
        // {the first four after OK}
        {0, 0, 0, 0, 0, "Mixed Show Disable",            {0, 0, 0, 0}},
        {1, 1, 1, 1, 1, "Run Set Main Enable",           {1, 1, 1, 1}},
        {1, 2, 0, 0, 0, "Run Wave Show Disable",         {1, 2, 0, 0}},
        // Out of range: any other mode acts as wave; any non-zero switch is on.
        {9, 5, 3, 7, 7, "Run Set Wave Enable",           {1, 2, 1, 1}},
        {0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, "Wave Show Enable", {0, 2, 1, 0}},
    };
    // clang-format on
    for (const auto& [run, mode, shortcut, predefined, hide, shown, stored] : cases) {
        Rig rig([&](FakePlatform& f) {
            f.registry.Set("RegRunAtStartup", run);
            f.registry.Set("RegMode", mode);
            f.registry.Set("RegShutdownByUsingShortcut", shortcut);
            f.registry.Set("RegSetPredefinedVolumeAtStartup", predefined);
            f.registry.Set("RegHideVolumeIndicator", hide);
        });
        rig.Dialog(ID_SETTINGS, IDD_SETTINGS, [&](FakeDialog& d) {
            EXPECT_EQ(Checked(d), shown);
            d.Click(IDOK);
        });
        AppSettings expected = stored;
        expected.HideVolumeIndicator = hide != 0;
        EXPECT_EQ(rig.S(), expected) << shown;
        EXPECT_EQ(rig.Count("WriteDword"), 17u);
        EXPECT_EQ(rig.Count(run ? "WriteRunEntry HVX" : "DeleteRunEntry HVX"), 1u);
    }
}

// Only the five fields go back, so whatever a minute tick changes meanwhile survives; a value
// the store refuses stays in force all the same.
TEST(SettingsDlg, DefaultThenOkStoresTheDefaults) {
    Rig rig([](FakePlatform& f) {
        f.registry.Set("RegMode", 2);
        f.registry.Set("RegHideVolumeIndicator", 1);  // the default shows it again
        f.registry.failWritesOf = {"RegMode"};
    });
    rig.Dialog(ID_SETTINGS, IDD_SETTINGS, [&](FakeDialog& d) {
        rig.S().ScheduledAction = 1;
        d.Click(IDC_DEFAULT);
        d.Click(IDOK);
    });
    EXPECT_EQ(rig.S(), (AppSettings{1, 0, 1, 1, 0, 0, 0, 0, 0, /*ScheduledAction*/ 1}));
    EXPECT_EQ(rig.fake.registry.Get("RegMode"), 2u);
    EXPECT_EQ(rig.fake.registry.Get("RegScheduledAction"), 1u);
    EXPECT_EQ(rig.Count("WriteRunEntry HVX"), 1u);
}

TEST(SettingsDlg, DefaultThenCancelEscapeAndCloseBoxChangeAndWriteNothing) {
    Rig rig([](FakePlatform& f) { f.registry.Set("RegMode", 1); });
    for (const FakeDialogHost::Script& answer : std::vector<FakeDialogHost::Script>{
             [](FakeDialog& d) { d.Click(IDC_DEFAULT), d.Click(IDCANCEL); },
             [](FakeDialog& d) { d.Click(IDC_MODE_WAVE), d.PressEscape(); },
             [](FakeDialog& d) { d.Click(IDC_RUN_AT_STARTUP); }})  // then the close box
        rig.Dialog(ID_SETTINGS, IDD_SETTINGS, answer);
    EXPECT_EQ(rig.S(), AppSettings{.Mode = 1});
    EXPECT_EQ(rig.Count("Write") + rig.Count("DeleteRunEntry"), 0u);
}

constexpr const char* kKey = "Software\\Tessaron\\HVX";

TEST(IniDocument, ParseDwordTakesOnlyDecimal32BitValues) {
    // clang-format off
    const std::pair<const char*, uint32_t> good[] = {
        {"0", 0}, {"2800", 2800}, {" 7 ", 7}, {"\t0042", 42}, {"4294967295", 4294967295u}};
    // clang-format on
    for (const auto& [text, expected] : good) {
        uint32_t value = 12345;
        EXPECT_TRUE(ParseDword(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
    for (const char* bad : {"4294967296", "99999999999999999999", "", "  ", "-1", "+1", "0x10",
                            "12ab", "1 2", "\"5\""}) {
        uint32_t value = 12345;
        EXPECT_FALSE(ParseDword(bad, value)) << '"' << bad << '"';
        EXPECT_EQ(value, 12345u) << '"' << bad << '"';
    }
}

TEST(IniDocument, ReadsBySectionAndNameIgnoringCaseAndBlanks) {
    const IniDocument doc(
        "; settings\r\n[Other]\nRegMode=9\n[ software\\TESSARON\\hvx ]\r\n"
        "  regmode = 7 \r\nRegVolumeStep=text\nRegMode=8\njunk line\n");
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
    // A byte-order mark before the header, as some editors save it, is no part of it.
    IniDocument bom("\xEF\xBB\xBF[Software\\Tessaron\\HVX]\nRegMode=7\n");
    ASSERT_TRUE(bom.ReadDword(kKey, "RegMode", v));
    EXPECT_EQ(v, 7u);
    ASSERT_TRUE(bom.WriteDword(kKey, "RegAction", 1));
    EXPECT_EQ(bom.Text(), "\xEF\xBB\xBF[Software\\Tessaron\\HVX]\nRegMode=7\nRegAction=1\n");
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
}

TEST(IniDocument, RefusesNamesTheFormatCannotHold) {
    IniDocument doc;
    for (const char* name : {"", "a=b", "line\nbreak", ";x", "#x", "[x"})
        EXPECT_FALSE(doc.WriteDword(kKey, name, 1)) << name;
    for (const char* section : {"", "a]b", "a\nb"})
        EXPECT_FALSE(doc.WriteDword(section, "RegMode", 1)) << section;
    EXPECT_EQ(doc.Text(), "");
}

// What a desktop reads back from the Exec value: string escapes first, then the quoting of the
// Exec key, then %% as a literal percent. Returns the single argument, or "<bad>".
std::string ReadExecArgument(const std::string& value) {
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
        const char n = value[i] == '\\' && i + 1 < value.size() ? value[++i] : '\0';
        const size_t named = std::string_view("sntr").find(n);  // \s \n \t \r
        unescaped += !n ? value[i] : named != std::string::npos ? " \n\t\r"[named] : n;
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

}  // namespace
}  // namespace hvx::test
