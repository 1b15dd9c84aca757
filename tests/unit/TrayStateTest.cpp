// What the icon shows of the state: the tooltip's text, the muted image, and the volume
// indicator of the volume hotkeys.
#include <gmock/gmock.h>

#include <tuple>

#include "shell/CommandLine.h"
#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;

TEST(TrayTip, TellsTheLevelsTheMuteAndTheNextScheduledRun) {
    const VolumeState v{40, 55, false};
    const auto at = [](int32_t action, int32_t type, int32_t day, int32_t time) {
        return AppSettings{.ScheduledAction = 1,
                           .ExactTime = time,
                           .Action = action,
                           .ActionType = type,
                           .ActionDay = day};
    };
    // clang-format off
    const std::tuple<VolumeState, AppSettings, const char*> cases[] = {
        {v, {}, "HVX\nVolume 40%, wave 55%"},
        {{150, {}, true}, {}, "HVX\nVolume 150%, muted"},  // no wave line; over-amplified
        {{{}, {}, true}, {}, "HVX\nMuted"},
        {{}, {}, "HVX"},                                   // no device
        {{}, at(0, 1, 0, 23 * 60), "HVX\nShut down daily at 23:00"},
        {v, at(5, 2, 4, 7 * 60 + 30), "HVX\nVolume 40%, wave 55%\nAlarm on Wednesdays at 07:30"},
        {{}, at(1, 0, 0, 5), "HVX\nRestart once at 00:05"},
        {{}, at(2, 2, 1, 0), "HVX\nLog off on Sundays at 00:00"},
        {{}, at(3, 2, 7, 1439), "HVX\nHibernate on Saturdays at 23:59"},
        {{}, at(4, 9, 0, 60), "HVX\nStand by daily at 01:00"},  // any other type runs daily
        {{}, at(-1, 1, 0, 60), "HVX\nAlarm daily at 01:00"},    // any other action is the alarm
        // Runs that never come say nothing: off, no weekday, a minute past the day.
        {{}, AppSettings{.ExactTime = 60}, "HVX"}, {{}, at(0, 2, 0, 60), "HVX"},
        {{}, at(0, 2, 8, 60), "HVX"}, {{}, at(0, 1, 0, 1440), "HVX"}, {{}, at(0, 1, 0, -1), "HVX"},
    };
    // clang-format on
    for (const auto& [volume, settings, tip] : cases) EXPECT_EQ(TrayTipText(volume, settings), tip);

    // The longest there can be still fits the Windows tip whole.
    const VolumeState widest{LevelPercent(0xFFFFFFFF, 0, 1), LevelPercent(0xFFFFFFFF, 0, 1), true};
    const std::string longest = TrayTipText(widest, at(3, 2, 4, 1439));
    EXPECT_LE(longest.size(), MAX_TIP_LENGTH);
    EXPECT_TRUE(longest.ends_with("Hibernate on Wednesdays at 23:59")) << longest;
}

TEST(TrayTip, LevelsArePercentOfTheLineRange) {
    EXPECT_EQ(LevelPercent(30000, 0, 65535), 46);
    EXPECT_EQ(LevelPercent(98304, 0, 65536), 150);  // above the range reads above 100
    EXPECT_EQ(LevelPercent(255, 0, 255), 100);
    EXPECT_EQ(LevelPercent(5, 10, 20), 0);
    EXPECT_EQ(LevelPercent(7, 7, 7), std::nullopt);  // no range, no level
}

// Which events show the indicator, always after the change itself, and the tip that follows.
TEST(VolumeIndicator, OnlyTheVolumeHotkeysAndTheirWordsShowIt) {
    const auto key = [](int id) { return [id](Rig& r) { r.F().OnHotKey(id); }; };
    const auto menu = [](int id) { return [id](Rig& r) { r.F().OnCommand(id); }; };
    // clang-format off
    const std::tuple<const char*, std::function<void(Rig&)>, bool> cases[] = {
        {"up", key(HOTKEY_VOLUME_UP), true}, {"down", key(HOTKEY_VOLUME_DOWN), true},
        {"saved", key(HOTKEY_USE_SAVED_VOLUME), true}, {"mute", key(HOTKEY_MUTE), true},
        {"word", [](Rig& r) { RunCommandWord(r.F(), *FindCommandWord("volume-up")); }, true},
        {"menu mute", menu(ID_MUTE), false}, {"menu saved", menu(ID_USE_SAVED_VOLUME_LEVEL), false},
        {"menu default", menu(ID_RESTORE_DEFAULT_VOLUME_LEVEL), false},
        {"restart key", key(HOTKEY_RESTART), false}, {"mixer", [](Rig& r) { r.F().OnMixerChange(); }, false},
    };
    // clang-format on
    for (const auto& [name, act, shows] : cases) {
        Rig rig([](FakePlatform& f) { f.registry.Set("RegVolumeStep", 2800); });
        rig.fake.log.stateToo = true;
        act(rig);
        const Calls& c = rig.fake.log.calls;  // the change first, then the tip, then the indicator
        EXPECT_EQ(rig.fake.indicator.shows, shows ? 1 : 0) << name;
        EXPECT_TRUE(!shows || (c.size() > 2 && c[0].starts_with("MixerSet ") &&
                               c[c.size() - 2].starts_with("ModifyIcon ") &&
                               c.back().starts_with("Indicator ")))
            << name;
    }

    Rig up([](FakePlatform& f) { f.registry.Set("RegVolumeStep", 2800); });
    up.fake.log.stateToo = true;
    up.F().OnHotKey(HOTKEY_VOLUME_UP);
    EXPECT_THAT(up.fake.log.calls,
                ElementsAre("MixerSet 1 31400", "MixerSet 3 31400",
                            "ModifyIcon 101 'HVX\nVolume 48%, wave 48%'", "Indicator 48"));

    // Off in Settings, no device, or the level the start-up sets: no indicator.
    for (const auto& seed : std::vector<std::function<void(FakePlatform&)>>{
             [](FakePlatform& f) { f.registry.Set("RegHideVolumeIndicator", 1); },
             [](FakePlatform& f) { f.mixer.devices = 0; },
             [](FakePlatform& f) { f.registry.Set("RegSetPredefinedVolumeAtStartup", 1); }}) {
        Rig rig(seed);
        if (rig.S().SetPredefinedVolumeAtStartup == 0)
            for (int id : {HOTKEY_VOLUME_UP, HOTKEY_MUTE}) rig.F().OnHotKey(id);
        EXPECT_EQ(rig.fake.indicator.shows, 0);
    }
}

// The muted image follows the mute whoever switched it; the tip follows the schedule.
TEST(TrayTip, FollowsTheMuteAndTheScheduleAndSendsOnlyChanges) {
    Rig rig;
    EXPECT_EQ(rig.fake.tray.shown.tip, "HVX\nVolume 46%, wave 46%");
    rig.fake.log.stateToo = true;
    rig.F().OnHotKey(HOTKEY_MUTE);
    rig.fake.mixer.mute.value = 0;  // another program unmutes
    rig.F().OnMixerChange();
    rig.F().OnMixerChange();  // nothing new: nothing sent
    EXPECT_THAT(rig.fake.log.Matching("ModifyIcon"),
                ElementsAre("ModifyIcon 102 'HVX\nVolume 46%, wave 46%, muted'",
                            "ModifyIcon 101 'HVX\nVolume 46%, wave 46%'"));

    rig.Dialog(ID_AUTO_SHUTDOWN, IDD_AUTO_SHUTDOWN, [](FakeDialog& d) {
        d.Click(IDC_ENABLE_SCHEDULE);
        d.SetItemText(IDC_EXACT_HOUR, "12");
        d.SetItemText(IDC_EXACT_MINUTE, "01");
        d.Click(IDOK);
    });
    EXPECT_EQ(rig.fake.tray.shown.tip, "HVX\nVolume 46%, wave 46%\nShut down once at 12:01");
    rig.Tick(12, 1);  // the once-schedule runs and is over
    EXPECT_EQ(rig.fake.tray.shown.tip, "HVX\nVolume 46%, wave 46%");
}

}  // namespace
}  // namespace hvx::test
