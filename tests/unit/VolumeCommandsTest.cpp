// The volume hotkeys, the limit beep, the mute toggle and the saved and default levels.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "resources/Resource.h"
#include "tests/unit/VolumeFrame.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using Writes = std::vector<std::pair<uint32_t, uint32_t>>;  // control id, value

constexpr uint32_t kMaster = 1;
constexpr uint32_t kWave = 3;
constexpr uint32_t kTop = 0xFFFFFFFF;

class VolumeTest : public VolumeFrameTest {
  protected:
    void Use(int32_t mode, int32_t step) {
        Frame().Settings.Mode = mode;
        Frame().Settings.VolumeStep = step;
    }
};

struct HotkeyResult {
    Writes writes;
    int beeps;
};

// Starts a program whose mixer is set up by setup, then presses one hotkey.
HotkeyResult PressOnce(int32_t mode, uint32_t step, int hotkey,
                       const std::function<void(FakeMixer&)>& setup) {
    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    setup(fake.mixer);
    EXPECT_TRUE(app.InitInstance());
    fake.mixer.writes.clear();
    app.MainWnd()->Settings.Mode = mode;
    app.MainWnd()->Settings.VolumeStep = static_cast<int32_t>(step);
    EXPECT_EQ(app.MainWnd()->OnHotKey(hotkey), 0);
    return {fake.mixer.writes, fake.window.beeps};
}

// One line driven on its own: Mode 1 the master, any other non-zero Mode the wave.
TEST_F(VolumeTest, SingleLineStepsClampAndBeepAtTheTopOnly) {
    struct Case {
        const char* what;
        int hotkey;
        uint32_t minimum, maximum, value, step;
        uint32_t written;
        bool beeps;
    };
    const Case cases[] = {
        {"plain step up", HOTKEY_VOLUME_UP, 0, 65535, 10000, 2800, 12800, false},
        {"lands exactly on the top", HOTKEY_VOLUME_UP, 0, 65535, 62735, 2800, 65535, false},
        {"passes the top", HOTKEY_VOLUME_UP, 0, 65535, 64000, 2800, 65535, true},
        {"step 0 at the top", HOTKEY_VOLUME_UP, 0, 65535, 65535, 0, 65535, false},
        {"step 0 up", HOTKEY_VOLUME_UP, 0, 65535, 30000, 0, 30000, false},
        {"sum passes 2^32", HOTKEY_VOLUME_UP, 0, kTop, kTop - 100, 2800, kTop, true},
        {"plain step down", HOTKEY_VOLUME_DOWN, 0, 65535, 5000, 2800, 2200, false},
        {"wraps below zero", HOTKEY_VOLUME_DOWN, 0, 65535, 1000, 2800, 0, false},
        {"below a raised minimum", HOTKEY_VOLUME_DOWN, 500, 65535, 1000, 2800, 500, false},
        {"wrap stays out of a full range", HOTKEY_VOLUME_DOWN, 0, kTop, 1000, 2800, 0, false},
        {"step 0 down", HOTKEY_VOLUME_DOWN, 0, 65535, 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        for (int32_t mode : {1, 2, 7}) {
            SCOPED_TRACE(std::string(c.what) + ", mode " + std::to_string(mode));
            const bool master = mode == 1;
            const HotkeyResult r = PressOnce(mode, c.step, c.hotkey, [&](FakeMixer& mixer) {
                FakeMixer::Control& line = master ? mixer.master : mixer.wave;
                line.minimum = c.minimum;
                line.maximum = c.maximum;
                line.value = c.value;
            });
            // The other line is never written.
            EXPECT_EQ(r.writes, (Writes{{master ? kMaster : kWave, c.written}}));
            EXPECT_EQ(r.beeps, c.beeps ? 1 : 0);
        }
    }
}

TEST_F(VolumeTest, MixedModeSplitsTheStepAndPassesItOnAtTheTop) {
    struct Case {
        const char* what;
        int hotkey;
        uint32_t master, wave, step;
        Writes writes;
        bool beeps;
    };
    // clang-format off
    const Case cases[] = {
        {"odd step up, half each",          HOTKEY_VOLUME_UP,   10000, 20000, 2801,
         {{kMaster, 11400}, {kWave, 21400}}, false},
        {"master at the top, wave takes the whole step", HOTKEY_VOLUME_UP, 65535, 10000, 2800,
         {{kMaster, 65535}, {kWave, 12800}}, false},
        {"wave at the top, master takes the whole step", HOTKEY_VOLUME_UP, 10000, 64000, 2800,
         {{kWave, 65535}, {kMaster, 12800}}, false},
        {"both at the top",                 HOTKEY_VOLUME_UP,   65000, 65535, 2800,
         {{kMaster, 65535}, {kWave, 65535}}, true},
        {"step 0 writes back what it read", HOTKEY_VOLUME_UP,   65535, 65535, 0,
         {{kMaster, 65535}, {kWave, 65535}}, false},
        {"odd step down, half each",        HOTKEY_VOLUME_DOWN, 10000, 20000, 2801,
         {{kMaster, 8600}, {kWave, 18600}},  false},
        {"master at the bottom, wave stays", HOTKEY_VOLUME_DOWN, 0,    10000, 2800,
         {{kMaster, 0}},                     false},
        {"wave near the bottom, master stays", HOTKEY_VOLUME_DOWN, 10000, 1000, 2800,
         {{kWave, 0}},                       false},
        {"both near the bottom",            HOTKEY_VOLUME_DOWN, 100,   2799,  2800,
         {{kMaster, 0}, {kWave, 0}},         false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HotkeyResult r = PressOnce(0, c.step, c.hotkey, [&](FakeMixer& mixer) {
            mixer.master.value = c.master;
            mixer.wave.value = c.wave;
        });
        EXPECT_EQ(r.writes, c.writes);
        EXPECT_EQ(r.beeps, c.beeps ? 1 : 0);
    }
}

TEST_F(VolumeTest, HeldKeyAtTheTopBeepsAgainOnlyAfterTimerOne) {
    fake.mixer.master.value = 65535;
    Start();
    Use(1, 2800);
    Frame().OnHotKey(HOTKEY_VOLUME_UP);
    Frame().OnHotKey(HOTKEY_VOLUME_UP);
    EXPECT_TRUE(Frame().LimitBeepGuard);
    EXPECT_EQ(fake.window.timers.count(TIMER_BEEP_GUARD), 1u);
    Frame().OnTimer(TIMER_BEEP_GUARD);
    EXPECT_FALSE(Frame().LimitBeepGuard);
    Frame().OnHotKey(HOTKEY_VOLUME_UP);
    EXPECT_THAT(fake.log.calls,
                ElementsAre("MixerSet 1 65535", "MessageBeep 0xFFFFFFFF", "SetTimer 1 250",
                            "MixerSet 1 65535", "KillTimer 1", "MixerSet 1 65535",
                            "MessageBeep 0xFFFFFFFF", "SetTimer 1 250"));
}

TEST_F(VolumeTest, WaveModeWithoutAWaveLineLeavesTheMasterAlone) {
    fake.mixer.hasWaveLine = false;
    fake.mixer.master.value = 40000;
    Start();
    Frame().Settings.PreWaveVolume = 5;
    Use(1, 2800);
    Frame().OnHotKey(HOTKEY_VOLUME_UP);  // master selected last
    fake.mixer.writes.clear();
    Use(2, 2800);
    Frame().OnHotKey(HOTKEY_VOLUME_DOWN);
    Frame().OnHotKey(HOTKEY_VOLUME_UP);
    EXPECT_TRUE(fake.mixer.writes.empty());
    EXPECT_EQ(fake.mixer.master.value, 42800u);
    // Save keeps the saved wave level rather than storing the master's.
    Frame().OnCommand(ID_SAVE_VOLUME_LEVEL);
    EXPECT_EQ(Frame().Settings.PreWaveVolume, 5);
    EXPECT_EQ(Frame().Settings.PreMasterVolume, 42800);
}

// In mixed mode a line that cannot be selected or read is left alone and the other line acts
// as in its own mode.
TEST_F(VolumeTest, MixedModeWithOneLineMissingDrivesTheOtherAlone) {
    struct Case {
        const char* what;
        bool noWave, masterUnreadable, waveUnreadable;
        int hotkey;
        uint32_t master, wave;
        Writes writes;
        bool beeps;
    };
    // clang-format off
    const Case cases[] = {
        {"no wave line, up: whole step",  true,  false, false, HOTKEY_VOLUME_UP,   10000, 0,
         {{kMaster, 12800}}, false},
        {"no wave line, up past the top", true,  false, false, HOTKEY_VOLUME_UP,   64000, 0,
         {{kMaster, 65535}}, true},
        {"no wave line, down below zero", true,  false, false, HOTKEY_VOLUME_DOWN, 1000,  0,
         {{kMaster, 0}},     false},
        {"master unreadable, up",         false, true,  false, HOTKEY_VOLUME_UP,   10000, 10000,
         {{kWave, 12800}},   false},
        {"master unreadable, down",       false, true,  false, HOTKEY_VOLUME_DOWN, 10000, 10000,
         {{kWave, 7200}},    false},
        {"neither readable",              false, true,  true,  HOTKEY_VOLUME_UP,   65535, 65535,
         {},                 false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HotkeyResult r = PressOnce(0, 2800, c.hotkey, [&](FakeMixer& mixer) {
            mixer.hasWaveLine = !c.noWave;
            mixer.master.refuseRead = c.masterUnreadable;
            mixer.wave.refuseRead = c.waveUnreadable;
            mixer.master.value = c.master;
            mixer.wave.value = c.wave;
        });
        EXPECT_EQ(r.writes, c.writes);
        EXPECT_EQ(r.beeps, c.beeps ? 1 : 0);
    }
}

TEST_F(VolumeTest, NoDeviceMakesEveryVolumeKeySilent) {
    fake.mixer.devices = 0;
    Start();
    for (int32_t mode : {0, 1, 2}) {
        Use(mode, 2800);
        for (int key : {HOTKEY_VOLUME_UP, HOTKEY_VOLUME_DOWN, HOTKEY_MUTE, HOTKEY_USE_SAVED_VOLUME})
            Frame().OnHotKey(key);
    }
    EXPECT_TRUE(fake.log.calls.empty());
}

TEST_F(VolumeTest, MuteFollowsTheDeviceAndSetsTheLabel) {
    struct Case {
        const char* what;
        uint32_t before;
        bool refuseRead, refuseWrite, noControl;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"unmuted", 0, false, false, false, {"MixerSet 2 1", "ModifyMenu 106 Unmute"}},
        {"muted elsewhere", 1, false, false, false, {"MixerSet 2 0", "ModifyMenu 106 Mute"}},
        {"any non-zero is muted", 5, false, false, false, {"MixerSet 2 0", "ModifyMenu 106 Mute"}},
        {"write refused, label still follows",
         0,
         false,
         true,
         false,
         {"MixerSet 2 1", "ModifyMenu 106 Unmute"}},
        {"read refused", 0, true, false, false, {}},
        {"no mute control", 0, false, false, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlatform fake;
        FakeMarker marker;
        CTrayApp app(marker, fake.platform);
        fake.mixer.hasMuteControl = !c.noControl;
        ASSERT_TRUE(app.InitInstance());
        fake.mixer.mute.value = c.before;  // switched by another program after start-up
        fake.mixer.mute.refuseRead = c.refuseRead;
        fake.mixer.mute.refuseWrite = c.refuseWrite;
        fake.log.Clear();
        app.MainWnd()->OnCommand(ID_MUTE);
        EXPECT_EQ(fake.log.calls, c.calls);
    }
}

TEST_F(VolumeTest, MuteHotkeyTogglesBackAndForth) {
    Start();
    Frame().OnHotKey(HOTKEY_MUTE);
    EXPECT_EQ(fake.tray.Label(ID_MUTE), "Unmute");
    EXPECT_EQ(fake.mixer.mute.value, 1u);
    Frame().OnHotKey(HOTKEY_MUTE);
    EXPECT_EQ(fake.tray.Label(ID_MUTE), "Mute");
    EXPECT_EQ(fake.mixer.mute.value, 0u);
    EXPECT_TRUE(fake.log.Matching("WriteDword").empty());  // the mute is never stored
}

TEST_F(VolumeTest, SaveReadsBothLinesAndStoresEverything) {
    fake.mixer.master.value = 12345;
    fake.mixer.wave.value = 23456;
    Start();
    Frame().OnCommand(ID_SAVE_VOLUME_LEVEL);
    EXPECT_EQ(fake.registry.Get("RegPreMasterVolume"), 12345u);
    EXPECT_EQ(fake.registry.Get("RegPreWaveVolume"), 23456u);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
    EXPECT_TRUE(fake.mixer.writes.empty());
}

TEST_F(VolumeTest, SaveWithoutADeviceKeepsTheLevelsAndStillSaves) {
    fake.mixer.devices = 0;
    Start();
    Frame().Settings.PreMasterVolume = 7;
    Frame().Settings.PreWaveVolume = 8;
    Frame().OnCommand(ID_SAVE_VOLUME_LEVEL);
    EXPECT_EQ(Frame().Settings.PreMasterVolume, 7);
    EXPECT_EQ(Frame().Settings.PreWaveVolume, 8);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
    EXPECT_EQ(fake.registry.Get("RegPreWaveVolume"), 8u);
}

TEST_F(VolumeTest, RestoreDefaultsBecomesTheSavedLevel) {
    Start();
    Frame().Settings.DefaultMasterVolume = 1000;
    Frame().Settings.DefaultWaveVolume = 2000;
    Frame().Settings.PreMasterVolume = 5;
    Frame().Settings.PreWaveVolume = 6;
    Frame().OnCommand(ID_RESTORE_DEFAULT_VOLUME_LEVEL);
    EXPECT_EQ(fake.mixer.writes, (Writes{{kMaster, 1000}, {kWave, 2000}}));
    EXPECT_EQ(fake.registry.Get("RegPreMasterVolume"), 1000u);
    EXPECT_EQ(fake.registry.Get("RegPreWaveVolume"), 2000u);

    fake.mixer.master.value = fake.mixer.wave.value = 99;
    fake.mixer.writes.clear();
    fake.log.Clear();
    Frame().OnHotKey(HOTKEY_USE_SAVED_VOLUME);
    EXPECT_EQ(fake.mixer.writes, (Writes{{kMaster, 1000}, {kWave, 2000}}));
    EXPECT_TRUE(fake.log.Matching("WriteDword").empty());
}

TEST_F(VolumeTest, UseSavedWritesUnclampedAndRestoreSavesEvenWhenRefused) {
    fake.mixer.master.refuseWrite = true;
    Start();
    Frame().Settings.PreMasterVolume = 70000;
    Frame().Settings.PreWaveVolume = 70001;
    Frame().OnCommand(ID_USE_SAVED_VOLUME_LEVEL);
    EXPECT_THAT(fake.log.calls, ElementsAre("MixerSet 1 70000", "MixerSet 3 70001"));

    Frame().Settings.DefaultMasterVolume = 300;
    Frame().OnCommand(ID_RESTORE_DEFAULT_VOLUME_LEVEL);
    EXPECT_EQ(fake.mixer.master.value, 30000u);  // refused by the device
    EXPECT_EQ(Frame().Settings.PreMasterVolume, 300);
    EXPECT_EQ(fake.registry.Get("RegPreMasterVolume"), 300u);
}

}  // namespace
}  // namespace hvx::test
