// The Settings, Help and About dialogs as the user drives them from the tray menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

class SettingsDlgTest : public ::testing::Test {
  protected:
    void Start() {
        ASSERT_TRUE(app.InitInstance());
        fake.log.Clear();
    }
    CMainFrame& Frame() { return *app.MainWnd(); }
    size_t Saves() const { return fake.log.Matching("WriteDword RegRunAtStartup").size(); }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

TEST_F(SettingsDlgTest, StoredValuesMapToControlsAndBack) {
    struct Case {
        uint32_t mode, shortcut, predefined, run;
        int modeButton, shortcutButton;
        int32_t modeStored, shortcutStored, predefinedStored, runStored;
    };
    const Case cases[] = {
        {0, 0, 0, 0, IDC_MODE_MIXED, IDC_SHORTCUT_DISABLE, 0, 0, 0, 0},
        {1, 1, 1, 1, IDC_MODE_MASTER, IDC_SHORTCUT_ENABLE, 1, 1, 1, 1},
        {2, 0, 0, 1, IDC_MODE_WAVE, IDC_SHORTCUT_DISABLE, 2, 0, 0, 1},
        // Out of range: any other mode acts as wave; any non-zero switch is on.
        {5, 3, 7, 9, IDC_MODE_WAVE, IDC_SHORTCUT_ENABLE, 2, 1, 1, 1},
        {0xFFFFFFFF, 0xFFFFFFFF, 0, 0, IDC_MODE_WAVE, IDC_SHORTCUT_ENABLE, 2, 1, 0, 0},
    };
    for (const Case& c : cases) {
        FakePlatform local;
        local.registry.Set("RegMode", c.mode);
        local.registry.Set("RegShutdownByUsingShortcut", c.shortcut);
        local.registry.Set("RegSetPredefinedVolumeAtStartup", c.predefined);
        local.registry.Set("RegRunAtStartup", c.run);
        FakeMarker m;
        CTrayApp a(m, local.platform);
        ASSERT_TRUE(a.InitInstance());
        local.dialogs.OnNext(IDD_SETTINGS, [&](FakeDialog& dlg) {
            for (int id : {IDC_MODE_MIXED, IDC_MODE_MASTER, IDC_MODE_WAVE})
                EXPECT_EQ(dlg.At(id).check, id == c.modeButton) << c.mode;
            for (int id : {IDC_SHORTCUT_ENABLE, IDC_SHORTCUT_DISABLE})
                EXPECT_EQ(dlg.At(id).check, id == c.shortcutButton) << c.shortcut;
            EXPECT_EQ(dlg.At(IDC_SET_SAVED_VOLUME_AT_STARTUP).check, c.predefined != 0);
            EXPECT_EQ(dlg.At(IDC_RUN_AT_STARTUP).check, c.run != 0);
            dlg.Click(IDOK);
        });
        a.MainWnd()->OnCommand(ID_SETTINGS);
        const AppSettings& s = a.MainWnd()->Settings;
        EXPECT_EQ(s.Mode, c.modeStored);
        EXPECT_EQ(s.ShutdownByUsingShortcut, c.shortcutStored);
        EXPECT_EQ(s.SetPredefinedVolumeAtStartup, c.predefinedStored);
        EXPECT_EQ(s.RunAtStartup, c.runStored);
        EXPECT_EQ(local.registry.Get("RegMode"), uint32_t(c.modeStored));
    }
}

TEST_F(SettingsDlgTest, DefaultThenOkStoresDefaultsAndWritesTheRunEntry) {
    fake.registry.Set("RegMode", 2);
    Start();
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) {
        dlg.Click(IDC_DEFAULT);
        dlg.Click(IDOK);
    });
    Frame().OnCommand(ID_SETTINGS);
    const AppSettings& s = Frame().Settings;
    EXPECT_EQ(s.RunAtStartup, 1);
    EXPECT_EQ(s.SetPredefinedVolumeAtStartup, 1);
    EXPECT_EQ(s.Mode, 0);
    EXPECT_EQ(s.ShutdownByUsingShortcut, 1);
    EXPECT_EQ(fake.runEntry.entries.at("HVX"), fake.runEntry.modulePath);
    EXPECT_EQ(fake.registry.Get("RegShutdownByUsingShortcut"), 1u);
}

TEST_F(SettingsDlgTest, CancelEscapeAndCloseBoxChangeAndWriteNothing) {
    fake.registry.Set("RegMode", 1);
    Start();
    const AppSettings before = Frame().Settings;
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) {
        dlg.Click(IDC_DEFAULT);
        dlg.Click(IDCANCEL);
    });
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) {
        dlg.Click(IDC_MODE_WAVE);
        dlg.PressEscape();
    });
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) { dlg.Click(IDC_RUN_AT_STARTUP); });
    for (int i = 0; i < 3; ++i) Frame().OnCommand(ID_SETTINGS);
    EXPECT_EQ(Frame().Settings, before);
    EXPECT_TRUE(fake.log.Matching("WriteDword").empty());
    EXPECT_TRUE(fake.log.Matching("WriteRunEntry").empty());
    EXPECT_TRUE(fake.log.Matching("DeleteRunEntry").empty());
}

TEST_F(SettingsDlgTest, OkWithNothingChangedStillSavesEverything) {
    fake.registry.Set("RegRunAtStartup", 1);
    fake.registry.Set("RegExactTime", 700);
    Start();
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) { dlg.Click(IDOK); });
    Frame().OnCommand(ID_SETTINGS);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
    EXPECT_EQ(fake.log.Matching("WriteRunEntry HVX").size(), 1u);
}

TEST_F(SettingsDlgTest, OnlyTheFourFieldsGoBackSoChangesMadeMeanwhileSurvive) {
    Start();
    fake.dialogs.OnNext(IDD_SETTINGS, [&](FakeDialog& dlg) {
        Frame().Settings.ScheduledAction = 1;  // as a minute tick might, while the dialog shows
        Frame().Settings.VolumeStep = 4000;
        dlg.Click(IDC_MODE_MASTER);
        dlg.Click(IDOK);
    });
    Frame().OnCommand(ID_SETTINGS);
    EXPECT_EQ(Frame().Settings.Mode, 1);
    EXPECT_EQ(Frame().Settings.ScheduledAction, 1);
    EXPECT_EQ(fake.registry.Get("RegVolumeStep"), 4000u);
}

TEST_F(SettingsDlgTest, ShutdownHotkeyFollowsTheDialogAtOnce) {
    Start();
    Frame().OnHotKey(HOTKEY_SHUTDOWN);
    EXPECT_TRUE(fake.log.Matching("ExitWindowsEx").empty());
    fake.dialogs.OnNext(IDD_SETTINGS, [](FakeDialog& dlg) {
        dlg.Click(IDC_SHORTCUT_ENABLE);
        dlg.Click(IDOK);
    });
    Frame().OnCommand(ID_SETTINGS);
    Frame().OnHotKey(HOTKEY_SHUTDOWN);
    EXPECT_EQ(fake.log.Matching("ExitWindowsEx 0xD").size(), 1u);
}

TEST_F(SettingsDlgTest, EveryMenuDialogRefusesTheMenuButNotHotkeysOrDoubleClick) {
    Start();
    for (int command : {ID_SETTINGS, ID_HELP, ID_ABOUT}) {
        const int templateId = command == ID_SETTINGS ? IDD_SETTINGS
                               : command == ID_HELP   ? IDD_HELP
                                                      : IDD_ABOUT;
        fake.dialogs.OnNext(templateId, [&](FakeDialog& dlg) {
            EXPECT_TRUE(Frame().TrayIcon.DialogOpen);
            fake.tray.handler->OnTrayNotification(TRAY_ICON_ID, MOUSE_RBUTTONUP);
            EXPECT_EQ(fake.tray.menusShown, 0);
            Frame().OnHotKey(HOTKEY_RESTART);
            fake.tray.handler->OnTrayNotification(TRAY_ICON_ID, MOUSE_LBUTTONDBLCLK);
            dlg.Click(IDOK);
        });
        Frame().OnCommand(command);
        EXPECT_FALSE(Frame().TrayIcon.DialogOpen);
    }
    EXPECT_EQ(fake.log.Matching("ExitWindowsEx 0x6").size(), 3u);
    EXPECT_EQ(fake.log.Matching("SendCommand 106").size(), 3u);
    // Only the Settings OK saved; Help and About change nothing.
    EXPECT_EQ(fake.log.Matching("WriteDword RegMode").size(), 1u);
}

TEST(DialogTemplates, HelpListsTheShortcutKeysInOrder) {
    const DialogTemplate* help = FindDialogTemplate(IDD_HELP);
    ASSERT_NE(help, nullptr);
    std::vector<std::string> texts;
    for (const ControlTemplate& c : help->controls) texts.push_back(c.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Shortcut Keys of Main Functions", "Ctrl + Up/Down",
                                               "Volume Up/Down", "Ctrl + Left", "Mute/Unmute",
                                               "Ctrl + Right", "Use Saved Volume",
                                               "Ctrl + Alt + Enter", "Shutdown Computer",
                                               "Ctrl + Alt + R", "Restart Computer", "OK"}));
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->extended);
    EXPECT_STREQ(about->controls[0].text, "HVX (version 1.0)");
}

TEST(DialogTemplates, EveryDialogHasOneDefaultButtonAndUniqueControlIds) {
    for (const DialogTemplate* t : AllDialogTemplates()) {
        int defaults = 0;
        std::vector<int> ids;
        for (const ControlTemplate& c : t->controls) {
            if (c.cls == ControlClass::Button && ButtonKind(c) == style::BsDefPushButton)
                ++defaults;
            if (c.id != IDC_STATIC) ids.push_back(c.id);
            // Every control lies inside the dialog.
            EXPECT_LE(c.x + c.cx, t->cx) << t->id << " " << c.id;
            if (c.cls != ControlClass::ComboBox) {  // a combo's height includes its list
                EXPECT_LE(c.y + c.cy, t->cy) << t->id << " " << c.id;
            }
        }
        EXPECT_EQ(defaults, 1) << t->id;
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << t->id;
    }
}

}  // namespace
}  // namespace hvx::test
