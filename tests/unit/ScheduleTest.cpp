// The minute tick: matching, confirmation, skip bookkeeping, re-entry through the confirmation
// and the alarm, and the tray menu refused while they show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kOnce = 0, kDaily = 1, kWeekly = 2;
constexpr int kRestart = 1, kAlarm = 5;
const std::string kRestartCall = "ExitWindowsEx 0x6";

// A running program on fakes; the registry may be seeded before start-up.
struct Rig {
    explicit Rig(const FakeRegistry* seed = nullptr) {
        if (seed) fake.registry.keys = seed->keys;
        started = app.InitInstance();
        fake.log.Clear();
    }
    CMainFrame& F() { return *app.MainWnd(); }
    AppSettings& S() { return F().Settings; }

    void Schedule(int type, int exactTime, int action = kRestart, int day = 0, int confirm = 1) {
        S().ScheduledAction = 1;
        S().DialogBeforeAction = confirm;
        S().ExactTime = exactTime;
        S().Action = action;
        S().ActionType = type;
        S().ActionDay = day;
    }
    void Tick(int hour, int minute, int weekday = 1) {
        fake.clock.Set(hour, minute, weekday);
        F().OnTimer(TIMER_SCHEDULE);
    }
    void RightClick() { fake.tray.handler->OnTrayNotification(TRAY_ICON_ID, MOUSE_RBUTTONUP); }
    // What the schedule did: power calls and alarms, in order.
    std::vector<std::string> Actions() const {
        std::vector<std::string> out;
        for (const auto& c : fake.log.calls)
            if (c.rfind("ExitWindowsEx", 0) == 0 || c.rfind("SetSystemPowerState", 0) == 0 ||
                c == "DoModal 119")
                out.push_back(c);
        return out;
    }
    size_t Confirmations() const { return fake.log.Count("DoModal 118"); }
    size_t FullSaves() const { return fake.log.Count("WriteDword RegRunAtStartup 0"); }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
    bool started = false;
};

const FakeDialogHost::Script kOk = [](FakeDialog& d) { d.Click(IDOK); };

TEST(Schedule, ActionIndexChoosesThePowerCallAndAnythingElseIsTheAlarm) {
    const std::pair<int, std::string> cases[] = {
        {0, "ExitWindowsEx 0xD"},
        {1, "ExitWindowsEx 0x6"},
        {2, "ExitWindowsEx 0x4"},
        {3, "SetSystemPowerState 0 0"},
        {4, "SetSystemPowerState 1 1"},
        {5, "DoModal 119"},
        {9, "DoModal 119"},
        {-1, "DoModal 119"},
    };
    for (const auto& [action, call] : cases) {
        Rig rig;
        rig.Schedule(kDaily, 7 * 60 + 30, action, 0, /*confirm=*/0);
        rig.Tick(7, 30);
        EXPECT_THAT(rig.Actions(), ElementsAre(call)) << "Action " << action;
    }
}

// Ticks at 07:25 and 07:30 on a week of days: on which days it confirms and runs, and whether
// the schedule is still enabled afterwards.
TEST(Schedule, TypesAndDaysDecideWhichDaysRun) {
    struct Case {
        int32_t type, day;
        std::vector<int> days;  // weekdays with a confirmation and a run
        int32_t enabledAfter;
    };
    const Case cases[] = {
        {kOnce, 0, {0}, 0},
        {kDaily, 0, {0, 1, 2, 3, 4, 5, 6}, 1},
        {7, 0, {0, 1, 2, 3, 4, 5, 6}, 1},  // unknown types act as daily
        {kWeekly, 2, {1}, 1},              // Monday
        {kWeekly, 0, {}, 1},               // no day chosen: never
        {kWeekly, 8, {}, 1},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Schedule(c.type, 7 * 60 + 30, kRestart, c.day);
        rig.fake.dialogs.OnEvery(IDD_CONFIRM_ACTION, kOk);
        std::vector<int> confirmDays, runDays;
        for (int weekday = 0; weekday < 7; ++weekday) {
            const size_t confirms = rig.Confirmations(), runs = rig.Actions().size();
            rig.Tick(7, 25, weekday);
            rig.Tick(7, 30, weekday);
            if (rig.Confirmations() > confirms) confirmDays.push_back(weekday);
            if (rig.Actions().size() > runs) runDays.push_back(weekday);
        }
        EXPECT_EQ(confirmDays, c.days) << "type " << c.type << " day " << c.day;
        EXPECT_EQ(runDays, c.days) << "type " << c.type << " day " << c.day;
        EXPECT_EQ(rig.S().ScheduledAction, c.enabledAfter) << "type " << c.type;
        // Only the end of a once schedule saves everything; otherwise only the skip flag.
        EXPECT_EQ(rig.FullSaves(), c.enabledAfter ? 0u : 1u) << "type " << c.type;
        EXPECT_EQ(rig.fake.log.Matching("WriteDword").size(),
                  c.days.size() + (c.enabledAfter ? 0u : 16u));
    }
}

// One tick in every minute of a day: where the confirmation shows and where the run happens.
TEST(Schedule, ConfirmationFiveMinutesBeforeWithoutWrappingPastMidnight) {
    struct Case {
        int32_t exactTime, confirm;
        std::vector<int> confirmAt, runAt;
    };
    const Case cases[] = {
        {0, 1, {}, {0}},     {4, 1, {}, {4}},   {5, 1, {0}, {5}},       {1439, 1, {1434}, {1439}},
        {450, 0, {}, {450}}, {5000, 1, {}, {}}, {INT32_MIN, 1, {}, {}}, {INT32_MAX, 1, {}, {}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Schedule(kDaily, c.exactTime, kRestart, 0, c.confirm);
        rig.fake.dialogs.OnEvery(IDD_CONFIRM_ACTION, kOk);
        std::vector<int> confirmAt, runAt;
        for (int minute = 0; minute < 24 * 60; ++minute) {
            const size_t confirms = rig.Confirmations(), runs = rig.Actions().size();
            rig.Tick(minute / 60, minute % 60);
            if (rig.Confirmations() > confirms) confirmAt.push_back(minute);
            if (rig.Actions().size() > runs) runAt.push_back(minute);
        }
        EXPECT_EQ(confirmAt, c.confirmAt) << "ExactTime " << c.exactTime;
        EXPECT_EQ(runAt, c.runAt) << "ExactTime " << c.exactTime;
    }
}

TEST(Schedule, CancelSkipsExactlyOneRunHoweverTheConfirmationIsClosed) {
    const std::pair<const char*, FakeDialogHost::Script> ways[] = {
        {"Cancel button", [](FakeDialog& d) { d.Click(IDCANCEL); }},
        {"Escape", [](FakeDialog& d) { d.PressEscape(); }},
        {"close box", nullptr},
    };
    for (const auto& [way, script] : ways) {
        Rig rig;
        rig.Schedule(kDaily, 7 * 60 + 30);
        if (script) rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, script);
        rig.Tick(7, 25);
        EXPECT_EQ(rig.S().DisableOnce, 1) << way;
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 1u) << way;
        rig.Tick(7, 30);
        EXPECT_THAT(rig.Actions(), IsEmpty()) << way;
        EXPECT_EQ(rig.S().DisableOnce, 0) << way;
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 0u) << way;
        EXPECT_EQ(rig.S().ScheduledAction, 1) << way;
        // The next day runs, with its own confirmation.
        rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
        rig.Tick(7, 25, 2);
        rig.Tick(7, 30, 2);
        EXPECT_THAT(rig.Actions(), ElementsAre(kRestartCall)) << way;
        EXPECT_EQ(rig.Confirmations(), 2u) << way;
    }
}

TEST(Schedule, CancelledOnceScheduleEndsWithoutRunning) {
    Rig rig;
    rig.Schedule(kOnce, 7 * 60 + 30);
    rig.Tick(7, 25);  // closed with the close box
    rig.Tick(7, 30);
    EXPECT_THAT(rig.Actions(), IsEmpty());
    EXPECT_EQ(rig.S().ScheduledAction, 0);
    EXPECT_EQ(rig.S().DisableOnce, 0);
    EXPECT_EQ(rig.FullSaves(), 1u);
    EXPECT_EQ(rig.fake.registry.Get("RegScheduledAction"), 0u);
    EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 0u);
}

TEST(Schedule, OkLeavesAPendingSkipInPlace) {
    Rig rig;
    rig.Schedule(kDaily, 7 * 60 + 30);
    rig.S().DisableOnce = 1;
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
    rig.Tick(7, 25);
    EXPECT_EQ(rig.S().DisableOnce, 1);
    EXPECT_THAT(rig.fake.log.Matching("WriteDword"), IsEmpty());
    rig.Tick(7, 30);
    EXPECT_THAT(rig.Actions(), IsEmpty());
    EXPECT_EQ(rig.S().DisableOnce, 0);
}

TEST(Schedule, UnansweredConfirmationDoesNotHoldTheActionBack) {
    Rig rig;
    rig.Schedule(kDaily, 7 * 60 + 30);
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, [&](FakeDialog& d) {
        rig.Tick(7, 26);
        rig.Tick(7, 30);  // still unanswered at the action minute
        EXPECT_EQ(rig.fake.dialogs.openNow, 1);
        EXPECT_THAT(rig.Actions(), ElementsAre(kRestartCall));
        EXPECT_EQ(rig.S().DisableOnce, 0);
        d.Click(IDCANCEL);  // answered late
    });
    rig.Tick(7, 25);
    // The outer check keeps its own minute (07:25) and runs nothing more; the late Cancel
    // still sets the skip.
    EXPECT_EQ(rig.Actions().size(), 1u);
    EXPECT_EQ(rig.S().DisableOnce, 1);
    EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 1u);
    // ...which skips the next day's run.
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
    rig.Tick(7, 25, 2);
    rig.Tick(7, 30, 2);
    EXPECT_EQ(rig.Actions().size(), 1u);
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
    rig.Tick(7, 25, 3);
    rig.Tick(7, 30, 3);
    EXPECT_EQ(rig.Actions().size(), 2u);
}

TEST(Schedule, RestartOfTheProgramClearsASkip) {
    Rig before;
    before.Schedule(kDaily, 7 * 60 + 30);
    before.F().SaveSettings();
    before.Tick(7, 25);  // cancelled
    ASSERT_EQ(before.fake.registry.Get("RegDisableOnce"), 1u);

    Rig after(&before.fake.registry);
    ASSERT_TRUE(after.started);
    EXPECT_EQ(after.S().DisableOnce, 0);
    EXPECT_EQ(after.fake.registry.Get("RegDisableOnce"), 0u);
    after.Tick(7, 30);
    EXPECT_THAT(after.Actions(), ElementsAre(kRestartCall));
}

TEST(Schedule, OutOfRangeStoredValuesFallBack) {
    // Action 9 acts as the alarm and ActionType 7 as daily.
    CallLog unused;
    FakeRegistry stored(unused);
    stored.Set("RegScheduledAction", 1);
    stored.Set("RegExactTime", 7 * 60 + 30);
    stored.Set("RegAction", 9);
    stored.Set("RegActionType", 7);
    Rig rig(&stored);
    rig.Tick(7, 30, 1);
    rig.Tick(7, 30, 2);
    EXPECT_THAT(rig.Actions(), ElementsAre("DoModal 119", "DoModal 119"));
    EXPECT_EQ(rig.S().ScheduledAction, 1);
    EXPECT_EQ(rig.FullSaves(), 0u);
}

TEST(Alarm, BeepsOnTimerThreeUntilDismissedThenFinishesTheRun) {
    Rig rig;
    rig.Schedule(kOnce, 7 * 60 + 30, kAlarm, 0, 0);
    rig.fake.dialogs.OnNext(IDD_ALARM, [&](FakeDialog& d) {
        EXPECT_EQ(rig.fake.window.timers[TIMER_ALARM], 250u);
        for (int i = 0; i < 3; ++i) rig.F().OnTimer(TIMER_ALARM);
        // The once bookkeeping waits for the alarm.
        EXPECT_EQ(rig.S().ScheduledAction, 1);
        d.Click(IDOK);
    });
    rig.Tick(7, 30);
    const auto& log = rig.fake.log;
    EXPECT_EQ(log.Matching("MessageBeep").size(), 3u);
    EXPECT_EQ(log.Count("MessageBeep 0xFFFFFFFF"), 3u);
    EXPECT_EQ(rig.fake.window.timers.count(TIMER_ALARM), 0u);
    EXPECT_LT(log.IndexOf("SetTimer 3 250"), log.IndexOf("DoModal 119"));
    EXPECT_LT(log.IndexOf("EndDialog 119 1"), log.IndexOf("KillTimer 3"));
    EXPECT_LT(log.IndexOf("KillTimer 3"), log.IndexOf("WriteDword RegDisableOnce 0"));
    EXPECT_EQ(rig.S().ScheduledAction, 0);
}

TEST(Alarm, SecondAlarmInTheSameMinuteDoesNotSilenceTheFirst) {
    Rig rig;
    rig.Schedule(kDaily, 7 * 60 + 30, kAlarm, 0, 0);
    rig.fake.dialogs.OnNext(IDD_ALARM, [&](FakeDialog& d) {
        rig.Tick(7, 30);  // a second tick in the same minute: a second alarm, closed at once
        EXPECT_EQ(rig.fake.log.Count("DoModal 119"), 2u);
        EXPECT_EQ(rig.fake.window.timers.count(TIMER_ALARM), 1u);
        EXPECT_EQ(rig.fake.log.Count("KillTimer 3"), 0u);
        d.Click(IDOK);
    });
    rig.Tick(7, 30);
    EXPECT_EQ(rig.fake.window.timers.count(TIMER_ALARM), 0u);
    EXPECT_EQ(rig.fake.log.Count("KillTimer 3"), 1u);
}

TEST(SchedulerDialogs, RefuseTheTrayMenuSoExitCannotPullTheWindowAway) {
    Rig rig;
    rig.Schedule(kDaily, 7 * 60 + 30, kAlarm);
    rig.fake.tray.pickOnTrack = ID_EXIT;
    auto& tray = rig.F().TrayIcon;
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, [&](FakeDialog& d) {
        EXPECT_EQ(tray.SchedulerDialogsOpen, 1);
        rig.RightClick();
        rig.fake.dialogs.OnNext(IDD_ALARM, [&](FakeDialog& alarm) {
            EXPECT_EQ(tray.SchedulerDialogsOpen, 2);
            rig.RightClick();
            alarm.Click(IDOK);
        });
        rig.Tick(7, 30);
        EXPECT_EQ(tray.SchedulerDialogsOpen, 1);
        rig.RightClick();
        EXPECT_EQ(rig.fake.tray.menusShown, 0);
        EXPECT_FALSE(tray.DialogOpen);  // the scheduler's dialogs leave the menu flag alone
        d.Click(IDOK);
    });
    rig.Tick(7, 25);
    EXPECT_EQ(tray.SchedulerDialogsOpen, 0);
    EXPECT_FALSE(rig.fake.window.destroyed);
    rig.RightClick();
    EXPECT_EQ(rig.fake.tray.menusShown, 1);
    EXPECT_TRUE(rig.fake.window.destroyed);
}

}  // namespace
}  // namespace hvx::test
