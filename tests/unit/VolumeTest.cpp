// The volume hotkeys, the limit beep, the mute toggle, the saved and default levels, and the
// Advanced Options dialog.
#include <gmock/gmock.h>

#include <climits>
#include <tuple>

#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using Writes = std::vector<std::pair<uint32_t, uint32_t>>;  // control id, value

constexpr uint32_t kMaster = 1, kWave = 3, kTop = 0xFFFFFFFF;
constexpr int kUp = HOTKEY_VOLUME_UP, kDown = HOTKEY_VOLUME_DOWN;

// Starts a program whose mixer lines setup prepares, presses one hotkey, and returns the
// mixer writes and whether it beeped.
std::pair<Writes, bool> Press(int32_t mode, uint32_t step, int hotkey,
                              const std::function<void(FakeMixer&)>& setup) {
    Rig rig([&](FakePlatform& f) { setup(f.mixer); });
    rig.S() = {.Mode = mode, .VolumeStep = static_cast<int32_t>(step)};
    rig.F().OnHotKey(hotkey);
    return {rig.fake.mixer.writes, rig.fake.window.beeps != 0};
}

// One line driven on its own: Mode 1 the master, any other non-zero Mode the wave. A level
// above the maximum (set by another program) is never lowered by Up nor dropped by Down.
TEST(Volume, SingleLineStepsClampAndBeepAtTheTopOnly) {
    constexpr uint32_t kHeld = kTop - 1;  // nothing written
    // clang-format off
    const std::tuple<const char*, int, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, bool> cases[] = {
        //                          key    min  max    value       step  written beeps
        {"plain step up",           kUp,   0,   65535, 10000,      2800, 12800, false},
        {"lands on the top",        kUp,   0,   65535, 62735,      2800, 65535, false},
        {"passes the top",          kUp,   0,   65535, 64000,      2800, 65535, true},
        {"step 0 at the top",       kUp,   0,   65535, 65535,      0,    65535, false},
        {"sum passes 2^32",         kUp,   0,   kTop,  kTop - 100, 2800, kTop,  true},
        {"above the top stays",     kUp,   0,   65536, 98304,      2800, kHeld, true},
        {"plain step down",         kDown, 0,   65535, 5000,       2800, 2200,  false},
        {"wraps below zero",        kDown, 0,   65535, 1000,       2800, 0,     false},
        {"below a raised minimum",  kDown, 500, 65535, 1000,       2800, 500,   false},
        {"wrap out of a full range", kDown, 0,  kTop,  1000,       2800, 0,     false},
        {"step 0 down",             kDown, 0,   65535, 0,          0,    0,     false},
        {"one step from above",     kDown, 0,   65536, 98304,      2800, 95504, false},
        {"from above to below top", kDown, 0,   65536, 66000,      2800, 63200, false},
    };
    // clang-format on
    for (const auto& [what, hotkey, minimum, maximum, value, step, written, beeps] : cases) {
        for (int32_t mode : {1, 2, 7}) {
            SCOPED_TRACE(std::string(what) + ", mode " + std::to_string(mode));
            const bool master = mode == 1;
            const auto pressed = Press(mode, step, hotkey, [&](FakeMixer& mixer) {
                FakeMixer::Control& line = master ? mixer.master : mixer.wave;
                line = {line.id, minimum, maximum, value};
            });
            // The other line is never written.
            const Writes writes =
                written == kHeld ? Writes{} : Writes{{master ? kMaster : kWave, written}};
            EXPECT_EQ(pressed, std::make_pair(writes, beeps));
        }
    }
}

// Mode 0 drives both lines; in the last rows a line cannot be selected or read, so it is left
// alone and the other acts as in its own mode.
TEST(Volume, MixedModeSplitsTheStepAndPassesItOnAtTheTop) {
    // clang-format off
    const std::tuple<const char*, int, uint32_t, uint32_t, uint32_t, bool, bool, Writes, bool> cases[] = {
        //                           key    master wave   step  no wave unreadable master
        {"odd step up: half each",   kUp,   10000, 20000, 2801, false, false, {{kMaster, 11400}, {kWave, 21400}}, false},
        {"master at the top",        kUp,   65535, 10000, 2800, false, false, {{kMaster, 65535}, {kWave, 12800}}, false},
        {"wave near the top",        kUp,   10000, 64000, 2800, false, false, {{kWave, 65535}, {kMaster, 12800}}, false},
        {"both at the top",          kUp,   65000, 65535, 2800, false, false, {{kMaster, 65535}, {kWave, 65535}}, true},
        {"step 0 writes back",       kUp,   65535, 65535, 0,    false, false, {{kMaster, 65535}, {kWave, 65535}}, false},
        {"master above: held",       kUp,   98304, 10000, 2800, false, false, {{kWave, 12800}}, false},
        {"wave above, master topped", kUp,  64000, 70000, 2800, false, false, {{kMaster, 65535}}, true},
        {"both above: both held",    kUp,   98304, 70000, 2800, false, false, {}, true},
        {"down from above: half each", kDown, 98304, 70000, 2801, false, false, {{kMaster, 96904}, {kWave, 68600}}, false},
        {"odd step down: half each", kDown, 10000, 20000, 2801, false, false, {{kMaster, 8600}, {kWave, 18600}}, false},
        {"master at the bottom",     kDown, 0,     10000, 2800, false, false, {{kMaster, 0}}, false},
        {"wave near the bottom",     kDown, 10000, 1000,  2800, false, false, {{kWave, 0}}, false},
        {"both near the bottom",     kDown, 100,   2799,  2800, false, false, {{kMaster, 0}, {kWave, 0}}, false},
        {"no wave line, up",         kUp,   10000, 0,     2800, true,  false, {{kMaster, 12800}}, false},
        {"no wave line, past top",   kUp,   64000, 0,     2800, true,  false, {{kMaster, 65535}}, true},
        {"no wave line, down",       kDown, 1000,  0,     2800, true,  false, {{kMaster, 0}}, false},
        {"master unreadable, up",    kUp,   10000, 10000, 2800, false, true,  {{kWave, 12800}}, false},
        {"master unreadable, down",  kDown, 10000, 10000, 2800, false, true,  {{kWave, 7200}}, false},
        {"neither line",             kUp,   10000, 10000, 2800, true,  true,  {}, false},
    };
    // clang-format on
    for (const auto& [what, hotkey, master, wave, step, noWave, unreadable, writes, beeps] :
         cases) {
        const auto pressed = Press(0, step, hotkey, [&](FakeMixer& mixer) {
            mixer.master.value = master;
            mixer.wave.value = wave;
            mixer.hasWaveLine = !noWave;
            mixer.master.refuseRead = unreadable;
        });
        EXPECT_EQ(pressed, std::make_pair(writes, beeps)) << what;
    }
}

TEST(Volume, HeldKeyAtTheTopBeepsAgainOnlyAfterTimerOne) {
    Rig rig([](FakePlatform& f) { f.mixer.master.value = 65535; });
    rig.S() = {.Mode = 1, .VolumeStep = 2800};
    rig.F().OnHotKey(kUp);
    rig.F().OnHotKey(kUp);
    rig.F().OnTimer(TIMER_BEEP_GUARD);
    rig.F().OnHotKey(kUp);
    EXPECT_THAT(rig.fake.log.calls,
                ElementsAre("MixerSet 1 65535", "MessageBeep 0xFFFFFFFF", "SetTimer 1 250",
                            "MixerSet 1 65535", "KillTimer 1", "MixerSet 1 65535",
                            "MessageBeep 0xFFFFFFFF", "SetTimer 1 250"));
}

// With no device at start-up every volume key is silent until one appears; the next command
// then acts on it (the mute control included, whatever it is by then). Nothing is opened again
// after Exit.
TEST(Volume, ADeviceThatAppearsLaterIsTakenAtTheNextCommandUntilExit) {
    Rig rig([](FakePlatform& f) { f.mixer.devices = 0; });
    for (int32_t mode : {0, 2, 1}) {
        rig.S() = {.Mode = mode, .VolumeStep = 2800};
        for (int key : {kUp, kDown, HOTKEY_MUTE, HOTKEY_USE_SAVED_VOLUME}) rig.F().OnHotKey(key);
    }
    EXPECT_TRUE(rig.fake.log.calls.empty());
    rig.fake.mixer.devices = 1;
    rig.F().OnHotKey(HOTKEY_MUTE);
    rig.F().OnHotKey(kUp);
    rig.fake.mixer.mute.id = 4;  // the device's controls changed underneath
    rig.F().OnHotKey(HOTKEY_MUTE);
    rig.F().OnCommand(ID_EXIT);
    for (int key : {kUp, HOTKEY_MUTE}) rig.F().OnHotKey(key);
    EXPECT_THAT(rig.fake.log.Matching("Mixer"),
                ElementsAre("MixerOpen 0", "MixerSet 2 1", "MixerSet 1 32800", "MixerSet 4 0",
                            "MixerClose"));
}

// The mute is read from the device at every press (another program may have switched it) and
// never stored.
TEST(Volume, MuteFollowsTheDeviceAndSetsTheLabel) {
    const Calls mute = {"MixerSet 2 1", "ModifyMenu 106 Unmute"};
    const Calls unmute = {"MixerSet 2 0", "ModifyMenu 106 Mute"};
    // clang-format off
    const std::tuple<uint32_t, bool, bool, bool, Calls> cases[] = {
        // the device's state, read refused, write refused, no mute control, the calls
        {0, false, false, false, mute}, {1, false, false, false, unmute},
        {5, false, false, false, unmute},  // any non-zero is muted
        {0, false, true, false, mute},     // the label follows even a refused write
        {0, true, false, false, {}}, {0, false, false, true, {}}};
    // clang-format on
    for (const auto& [before, refuseRead, refuseWrite, noControl, calls] : cases) {
        Rig rig([&](FakePlatform& f) { f.mixer.hasMuteControl = !noControl; });
        rig.fake.mixer.mute = {2, 0, 1, before, refuseRead, refuseWrite};
        rig.F().OnHotKey(HOTKEY_MUTE);
        EXPECT_EQ(rig.fake.log.calls, calls) << before << refuseRead << refuseWrite << noControl;
    }
}

// Save keeps the stored level of a line it cannot read, and stores everything regardless.
TEST(Volume, SaveReadsTheLinesItCanAndStoresEverything) {
    for (uint32_t devices : {1u, 0u}) {
        Rig rig([&](FakePlatform& f) {
            f.mixer.devices = devices;
            f.mixer.hasWaveLine = false;
            f.mixer.master.value = 12345;
        });
        rig.S() = {.PreMasterVolume = 7, .PreWaveVolume = 8};
        rig.F().OnCommand(ID_SAVE_VOLUME_LEVEL);
        EXPECT_EQ(rig.fake.registry.Get("RegPreMasterVolume"), devices ? 12345u : 7u);
        EXPECT_EQ(rig.fake.registry.Get("RegPreWaveVolume"), 8u);
        EXPECT_EQ(rig.Count("WriteDword"), 17u);
    }
}

TEST(Volume, RestoreDefaultsBecomesTheSavedLevelThatUseSavedWritesUnclamped) {
    Rig rig([](FakePlatform& f) { f.mixer.master.refuseWrite = true; });
    rig.S().DefaultMasterVolume = 70000;
    rig.S().DefaultWaveVolume = 2000;
    rig.F().OnCommand(ID_RESTORE_DEFAULT_VOLUME_LEVEL);
    // Stored even though the device refused the master level.
    EXPECT_EQ(rig.fake.registry.Get("RegPreMasterVolume"), 70000u);
    EXPECT_EQ(rig.fake.registry.Get("RegPreWaveVolume"), 2000u);
    rig.fake.log.calls.clear();
    rig.F().OnCommand(ID_USE_SAVED_VOLUME_LEVEL);
    rig.F().OnHotKey(HOTKEY_USE_SAVED_VOLUME);
    EXPECT_THAT(rig.fake.log.calls, ElementsAre("MixerSet 1 70000", "MixerSet 3 2000",
                                                "MixerSet 1 70000", "MixerSet 3 2000"));
}

AppSettings Stored(int32_t master, int32_t wave, int32_t step) {
    return {.DefaultMasterVolume = master, .DefaultWaveVolume = wave, .VolumeStep = step};
}

// A device with the master line at 0..65535 and the wave line at 0..255, unless adjust says
// otherwise.
struct AdvancedRig : Rig {
    explicit AdvancedRig(const std::function<void(FakeMixer&)>& adjust = {})
        : Rig([&](FakePlatform& f) {
              f.mixer.wave = {3, 0, 255, 100};
              if (adjust) adjust(f.mixer);
          }) {}
    // Stores the three values and runs the dialog with the script acting as the user.
    void Run(const AppSettings& stored, FakeDialogHost::Script script) {
        S() = stored;
        Dialog(ID_ADVANCED_OPTIONS, IDD_ADVANCED_OPTIONS, std::move(script));
    }
};

// The master, wave and step sliders as "min..max @pos", then the step edit.
std::string Sliders(FakeDialog& d) {
    std::string s;
    for (int id : {IDC_MASTER_SLIDER, IDC_WAVE_SLIDER, IDC_STEP_SLIDER}) {
        const FakeDialog::Control& c = d.At(id);
        s += std::to_string(c.rangeMin) + ".." + std::to_string(c.rangeMax) + " @" +
             std::to_string(c.pos) + " | ";
    }
    return s + d.At(IDC_STEP_TEXT).text;
}

TEST(AdvancedOptions, CancelAfterDefaultChangesNothing) {
    AdvancedRig rig;
    rig.Run(Stored(20000, 50, 4000), [](FakeDialog& d) { d.Click(IDC_DEFAULT), d.PressEscape(); });
    EXPECT_EQ(rig.S(), Stored(20000, 50, 4000));
    EXPECT_EQ(rig.Count("WriteDword"), 0u);
}

// What the sliders show once the user has acted, and what OK then stores; choosing numbers never
// moves the volume.
TEST(AdvancedOptions, SlidersHoldToTheDeviceRangesAndOkStoresWhatTheyShow) {
    using Adjust = std::function<void(FakeMixer&)>;
    const FakeDialogHost::Script byDefault = [](FakeDialog& d) { d.Click(IDC_DEFAULT); };
    // clang-format off
    const std::tuple<const char*, Adjust, AppSettings, FakeDialogHost::Script, const char*, AppSettings> cases[] = {
        {"untouched: the device ranges", {}, Stored(20000, 50, 4000), [](FakeDialog&) {},
         "0..65535 @20000 | 0..255 @50 | 0..16800 @4000 | 4000", Stored(20000, 50, 4000)},
        {"Default halves each maximum; the minimum plays no part", [](FakeMixer& m) { m.master.minimum = 1000; },
         Stored(20000, 50, 4000), byDefault, "1000..65535 @32767 | 0..255 @127 | 0..16800 @2800 | 2800", Stored(32767, 127, 2800)},
        {"out of range: clamped; the step edit follows the first move of any slider", {},
         Stored(70000, 300, 20000), [](FakeDialog& d) { EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "20000"); d.DragSlider(IDC_WAVE_SLIDER, 100); }, "0..65535 @65535 | 0..255 @100 | 0..16800 @16800 | 16800", Stored(65535, 100, 16800)},
        {"a missing line keeps its stored default", [](FakeMixer& m) { m.hasWaveLine = false; },
         Stored(20000, 50, 4000), [](FakeDialog& d) { d.DragSlider(IDC_STEP_SLIDER, 1000); }, nullptr, Stored(20000, 50, 1000)},
        // 3,000,000,000 as a raw 32-bit setting: a volume past INT_MAX, not a negative one.
        {"beyond the trackbar's int range: at INT_MAX", [](FakeMixer& m) { m.master = {1, 0, kTop, 0}, m.wave = {3, 0x90000000, kTop, 0}; },
         Stored(static_cast<int32_t>(3000000000u), 0, 4000), byDefault,
         "0..2147483647 @2147483647 | 2147483647..2147483647 @2147483647 | 0..16800 @2800 | 2800", Stored(INT_MAX, INT_MAX, 2800)},
    };
    // clang-format on
    for (const auto& [what, adjust, stored, act, shown, expected] : cases) {
        SCOPED_TRACE(what);
        AdvancedRig rig(adjust);
        rig.Run(stored, [&](FakeDialog& d) {
            act(d);
            if (shown) {
                EXPECT_EQ(Sliders(d), shown);
            }
            d.Click(IDOK);
        });
        EXPECT_EQ(rig.S(), expected);
        EXPECT_EQ(rig.Count("WriteDword"), 17u);
        EXPECT_TRUE(rig.fake.mixer.writes.empty());
    }
}

}  // namespace
}  // namespace hvx::test
