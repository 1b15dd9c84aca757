// Start-up and exit, the single-instance rule, the tray icon's mouse rules (also while a menu
// dialog is open), and the power commands and hotkeys.
#include <gmock/gmock.h>

#include <algorithm>
#include <tuple>

#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;

TEST(Startup, RunsEveryStepInOrderAndRegistersHotkeysLast) {
    FakePlatform fake;
    for (const char* name :
         {"RegSetPredefinedVolumeAtStartup", "RegRunAtStartup", "RegDisableOnce"})
        fake.registry.Set(name, 1);  // the skip is dropped: it never survives a restart
    fake.registry.Set("RegPreMasterVolume", 111);
    fake.registry.Set("RegPreWaveVolume", 222);
    fake.mixer.mute.value = 1;
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    // clang-format off
    const char* const steps[] = {  // the icon is named, for the pointer and screen readers
        "CreateWindow SystemTray", "AddIcon 101 0x40F 'HVX'", "MixerOpen 0", "MixerSet 2 0" /* unmuted */,
        "WriteDword RegDisableOnce 0", "ReadDword RegRunAtStartup",
        "WriteRunEntry HVX C:\\Program Files\\HVX\\HVX.exe", "MixerSet 1 111", "MixerSet 3 222",
        "SetTimer 2 60000", "CreateWindow done", "RegisterHotKey 100 0x2 0x26"};
    // clang-format on
    std::vector<int> order;
    for (const char* step : steps) {
        order.push_back(fake.log.IndexOf(step));
        EXPECT_GE(order.back(), 0) << step;
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_THAT(fake.log.Matching("RegisterHotKey"),
                ElementsAre("RegisterHotKey 100 0x2 0x26", "RegisterHotKey 200 0x2 0x28",
                            "RegisterHotKey 300 0x2 0x27", "RegisterHotKey 400 0x2 0x25",
                            "RegisterHotKey 800 0x3 0x52", "RegisterHotKey 900 0x3 0xD"));
    EXPECT_EQ(app.MainWnd()->Settings.DisableOnce, 0);  // as well as stored

    // Without SetPredefinedVolumeAtStartup the saved levels are left alone.
    Rig plain([](FakePlatform& f) { f.registry.Set("RegPreMasterVolume", 111); });
    EXPECT_EQ(plain.fake.mixer.master.value, 30000u);
}

TEST(SingleInstance, OnlyAnExistingMarkerStopsStartUp) {
    using State = IInstanceMarker::State;
    for (const State state : {State::Created, State::AlreadyExists, State::Failed}) {
        FakePlatform fake;
        FakeMarker marker;
        marker.state = state;
        CTrayApp app(marker, fake.platform);
        const bool second = state == State::AlreadyExists;
        EXPECT_EQ(app.InitInstance(), !second);
        // A second instance leaves no trace: no window, icon, hotkey or registry access.
        EXPECT_EQ(fake.log.calls.empty(), second);
    }
}

TEST(Exit, IconComesBackWithTheShellUntilExitRemovesEverything) {
    Rig rig;
    rig.fake.tray.handler->OnTaskbarCreated();  // a restarted shell has forgotten every icon
    rig.F().OnCommand(ID_EXIT);
    rig.fake.tray.handler->OnTaskbarCreated();
    EXPECT_THAT(rig.fake.log.calls,
                ElementsAre("AddIcon 101 0x40F 'HVX\nVolume 46%, wave 46%'", "DeleteIcon 101",
                            "UnregisterHotKey 100", "UnregisterHotKey 200", "UnregisterHotKey 300",
                            "UnregisterHotKey 400", "UnregisterHotKey 800", "UnregisterHotKey 900",
                            "MixerClose", "DestroyWindow"));
}

TEST(TrayIcon, RightClickShowsTheMenuUnlessADialogIsOpenDoubleClickMutesOthersAreIgnored) {
    const Calls menu = {"SetForeground", "SetMenuDefaultItem 125", "TrackPopupMenu 2 640,700",
                        "PostNull"};
    const Calls mute = {"SetForeground", "SendCommand 106", "MixerSet 2 1",
                        "ModifyMenu 106 Unmute"};
    // clang-format off
    std::vector<std::tuple<bool, int, uintptr_t, Calls>> cases = {
        // a menu dialog open, scheduler dialogs open, the notification's lParam, the calls
        {false, 0, 0x0205, menu}, {false, 0, 0x00650205, menu},  // only the low word counts
        {true, 0, 0x0205, {}}, {false, 1, 0x0205, {}},  // a menu dialog, a confirmation or alarm
        {true, 1, 0x0203, mute}};
    // clang-format on
    for (uintptr_t other : {0x0200, 0x0201, 0x0202, 0x0204, 0x0206, 0x0207, 0x0208, 0x0209, 0x0605})
        cases.push_back({false, 0, other, {}});
    for (const auto& [dialogOpen, schedulerDialogs, lParam, calls] : cases) {
        Rig rig;
        rig.F().TrayIcon.DialogOpen = dialogOpen;
        rig.F().TrayIcon.SchedulerDialogsOpen = schedulerDialogs;
        rig.Mouse(lParam);
        EXPECT_EQ(rig.fake.log.calls, calls) << std::hex << lParam << " " << dialogOpen;
    }
}

TEST(MenuDialogs, RefuseTheTrayMenuButNotHotkeysOrDoubleClick) {
    // clang-format off
    const std::pair<int, int> dialogs[] = {
        {ID_SETTINGS, IDD_SETTINGS}, {ID_AUTO_SHUTDOWN, IDD_AUTO_SHUTDOWN},
        {ID_ADVANCED_OPTIONS, IDD_ADVANCED_OPTIONS}, {ID_HELP, IDD_HELP}, {ID_ABOUT, IDD_ABOUT}};
    // clang-format on
    for (const auto& [command, templateId] : dialogs) {
        Rig rig;
        rig.Dialog(command, templateId, [&](FakeDialog&) {
            rig.Mouse(MOUSE_RBUTTONUP);
            EXPECT_TRUE(rig.fake.tray.handler->MenuRefused()) << command;  // a desktop's menu too
            rig.F().OnHotKey(HOTKEY_RESTART);
            rig.Mouse(MOUSE_LBUTTONDBLCLK);
        });
        EXPECT_EQ(rig.fake.tray.menusShown, 0) << command;
        EXPECT_FALSE(rig.fake.tray.handler->MenuRefused()) << command;
        EXPECT_EQ(rig.Count("ExitWindowsEx 0x6") + rig.Count("SendCommand 106"), 2u) << command;
        rig.Mouse(MOUSE_RBUTTONUP);
        EXPECT_EQ(rig.fake.tray.menusShown, 1) << command;
    }
}

TEST(Power, MenuCommandsNeedThePrivilegeThenMakeOneCall) {
    // clang-format off
    const std::pair<int, const char*> cases[] = {
        {ID_SHUTDOWN, "ExitWindowsEx 0xD"}, {ID_RESTART, "ExitWindowsEx 0x6"}, {ID_LOGOFF, "ExitWindowsEx 0x4"},
        {ID_HIBERNATE, "SetSystemPowerState 0 0"}, {ID_STANDBY, "SetSystemPowerState 1 1"}};
    // clang-format on
    for (const auto& [command, call] : cases) {
        for (bool privilege : {true, false}) {
            Rig rig;
            rig.fake.power.privilegeFails = !privilege;
            rig.F().OnCommand(command);
            const Calls expected = {"EnableShutdownPrivilege", call};
            EXPECT_EQ(rig.fake.log.calls, privilege ? expected : Calls{expected[0]}) << command;
        }
    }
}

TEST(Power, RestartKeyAlwaysWorksShutdownKeyOnlyWhileAllowedAtThatPress) {
    // clang-format off
    const std::tuple<int32_t, int, Calls> presses[] = {
        {0, HOTKEY_RESTART, {"ExitWindowsEx 0x6"}}, {1, HOTKEY_RESTART, {"ExitWindowsEx 0x6"}},
        {0, HOTKEY_SHUTDOWN, {}}, {1, HOTKEY_SHUTDOWN, {"ExitWindowsEx 0xD"}},
        {0, HOTKEY_SHUTDOWN, {}}, {-1, HOTKEY_SHUTDOWN, {"ExitWindowsEx 0xD"}}};
    // clang-format on
    Rig rig;
    for (const auto& [allowed, hotkey, calls] : presses) {
        rig.fake.log.calls.clear();
        rig.S().ShutdownByUsingShortcut = allowed;  // changed between presses
        rig.F().OnHotKey(hotkey);
        EXPECT_EQ(rig.fake.log.Matching("ExitWindowsEx"), calls) << hotkey << " " << allowed;
    }
}

}  // namespace
}  // namespace hvx::test
