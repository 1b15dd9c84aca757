// Start-up, exit and the single-instance rule of the application.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;

TEST(Startup, RunsEveryStepInOrderAndRegistersHotkeysLast) {
    FakePlatform fake;
    fake.registry.Set("RegSetPredefinedVolumeAtStartup", 1);
    fake.registry.Set("RegPreMasterVolume", 111);
    fake.registry.Set("RegRunAtStartup", 1);
    fake.mixer.mute.value = 1;
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());

    const auto& log = fake.log;
    // Tray icon before the mixer, the mixer before the settings, the hotkeys after everything.
    std::vector<int> order = {
        log.IndexOf("CreateWindow SystemTray"),
        log.IndexOf("CreateTrayWindow"),
        log.IndexOf("AddIcon 101 0x40F ''"),
        log.IndexOf("MixerOpen 0"),
        log.IndexOf("MixerSet 2 0"),  // unmuted
        log.IndexOf("WriteDword RegDisableOnce 0"),
        log.IndexOf("ReadDword RegRunAtStartup"),
        log.IndexOf("WriteDword RegRunAtStartup 1"),
        log.IndexOf("WriteRunEntry HVX C:\\Program Files\\HVX\\HVX.exe"),
        log.IndexOf("MixerSet 1 111"),  // the saved master level
        log.IndexOf("SetTimer 2 60000"),
        log.IndexOf("CreateWindow done"),
        log.IndexOf("RegisterHotKey 100 0x2 0x26"),
    };
    for (size_t i = 0; i < order.size(); ++i) ASSERT_GE(order[i], 0) << "step " << i;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));

    EXPECT_THAT(log.Matching("RegisterHotKey"),
                ElementsAre("RegisterHotKey 100 0x2 0x26", "RegisterHotKey 200 0x2 0x28",
                            "RegisterHotKey 300 0x2 0x27", "RegisterHotKey 400 0x2 0x25",
                            "RegisterHotKey 800 0x3 0x52", "RegisterHotKey 900 0x3 0xD"));
    EXPECT_EQ(fake.mixer.mute.value, 0u);
    EXPECT_FALSE(app.MainWnd()->TrayIcon.DialogOpen);
    EXPECT_FALSE(app.MainWnd()->LimitBeepGuard);
}

TEST(Startup, SavedLevelsAreAppliedAfterLoadAndSaveAndBeforeTheMinuteTimer) {
    FakePlatform fake;
    fake.registry.Set("RegSetPredefinedVolumeAtStartup", 1);
    fake.registry.Set("RegPreMasterVolume", 111);
    fake.registry.Set("RegPreWaveVolume", 222);
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());

    const auto& calls = fake.log.calls;
    const auto lastSave = std::find(calls.rbegin(), calls.rend(), "WriteDword RegDisableOnce 0");
    ASSERT_NE(lastSave, calls.rend());
    const int saved = static_cast<int>(calls.rend() - lastSave) - 1;
    const int loaded = fake.log.IndexOf("ReadDword RegDisableOnce");
    const int master = fake.log.IndexOf("MixerSet 1 111");
    const int wave = fake.log.IndexOf("MixerSet 3 222");
    const int timer = fake.log.IndexOf("SetTimer 2 60000");
    ASSERT_GE(loaded, 0);
    EXPECT_LT(loaded, saved);
    EXPECT_LT(saved, master);
    EXPECT_LT(master, wave);
    EXPECT_LT(wave, timer);
    EXPECT_EQ(fake.mixer.master.value, 111u);
    EXPECT_EQ(fake.mixer.wave.value, 222u);
}

TEST(Startup, SavedLevelsAreLeftAloneWhenNotAskedFor) {
    FakePlatform fake;
    fake.registry.Set("RegPreMasterVolume", 111);
    fake.registry.Set("RegPreWaveVolume", 222);
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    // Only the unmute reaches the mixer.
    EXPECT_EQ(fake.log.Matching("MixerSet"), std::vector<std::string>{"MixerSet 2 0"});
}

TEST(Startup, FirstStartWritesSixteenZerosAndRemovesTheRunEntry) {
    FakePlatform fake;
    fake.runEntry.entries["HVX"] = "old";
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());

    const auto& values = fake.registry.keys["Software\\Tessaron\\HVX"];
    EXPECT_EQ(values.size(), 16u);
    for (const auto& [name, value] : values) {
        EXPECT_TRUE(value.isDword) << name;
        EXPECT_EQ(value.dword, 0u) << name;
    }
    EXPECT_TRUE(fake.runEntry.entries.empty());
    EXPECT_EQ(app.MainWnd()->Settings, AppSettings{});
    // With nothing stored no saved level is applied.
    EXPECT_TRUE(fake.log.Matching("MixerSet 1").empty());
}

TEST(Startup, StoredSkipFlagIsClearedBeforeLoading) {
    FakePlatform fake;
    fake.registry.Set("RegDisableOnce", 1);
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.MainWnd()->Settings.DisableOnce, 0);
}

TEST(Startup, StartsWithoutAMixerAndWithHotkeysTaken) {
    FakePlatform fake;
    fake.mixer.devices = 0;
    fake.window.takenHotkeys = {100, 900};
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(fake.log.Matching("MixerOpen").empty());
    EXPECT_TRUE(fake.log.Matching("MixerSet").empty());
    EXPECT_EQ(fake.window.hotkeys.size(), 4u);
    EXPECT_EQ(fake.window.timers.count(TIMER_SCHEDULE), 1u);
}

TEST(SingleInstance, OnlyAnExistingMarkerStopsStartUp) {
    struct Case {
        IInstanceMarker::State state;
        bool starts;
    };
    for (const Case c : {Case{IInstanceMarker::State::Created, true},
                         Case{IInstanceMarker::State::AlreadyExists, false},
                         Case{IInstanceMarker::State::Failed, true}}) {
        FakePlatform fake;
        FakeMarker marker;
        marker.state = c.state;
        CTrayApp app(marker, fake.platform);
        EXPECT_EQ(app.InitInstance(), c.starts);
        if (!c.starts) {
            // A second instance leaves no trace: no window, icon, hotkey or registry access.
            EXPECT_TRUE(fake.log.calls.empty());
            EXPECT_EQ(app.MainWnd(), nullptr);
        }
    }
}

TEST(Exit, RemovesIconThenHotkeysThenMixerThenWindowAndSavesNothing) {
    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    fake.log.Clear();
    app.MainWnd()->OnCommand(ID_EXIT);
    EXPECT_THAT(fake.log.calls,
                ElementsAre("DeleteIcon 101", "UnregisterHotKey 100", "UnregisterHotKey 200",
                            "UnregisterHotKey 300", "UnregisterHotKey 400", "UnregisterHotKey 800",
                            "UnregisterHotKey 900", "MixerClose", "DestroyWindow"));
    EXPECT_FALSE(fake.tray.icon.has_value());
    EXPECT_TRUE(fake.window.hotkeys.empty());
}

TEST(Dispatch, UnknownCommandsHotkeysAndTimersDoNothing) {
    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    ASSERT_TRUE(app.InitInstance());
    fake.log.Clear();
    CMainFrame& frame = *app.MainWnd();
    for (int id : {0, 100, 107, 108, 111, 113, 119, 126, 1000}) frame.OnCommand(id);
    for (int id : {0, 1, 500, 700, 901}) EXPECT_EQ(frame.OnHotKey(id), 0);
    for (unsigned id : {0u, 4u, 99u}) frame.OnTimer(id);
    EXPECT_TRUE(fake.log.calls.empty());
}

}  // namespace
}  // namespace hvx::test
