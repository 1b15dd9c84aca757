// The minute tick (matching, confirmation, skip bookkeeping, re-entry through the confirmation
// and the alarm, the tray menu refused while they show) and the Auto Shutdown dialog.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>

#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kOnce = 0, kDaily = 1, kWeekly = 2;
constexpr int kRestart = 1, kAlarm = 5;
constexpr int k0730 = 7 * 60 + 30;
const FakeDialogHost::Script kOk = [](FakeDialog& d) { d.Click(IDOK); };

struct ScheduleRig : Rig {
    void Schedule(int type, int exactTime, int action = kRestart, int day = 0, int confirm = 1) {
        S() = AppSettings{};
        S().ScheduledAction = 1;
        S().DialogBeforeAction = confirm;
        S().ExactTime = exactTime;
        S().Action = action;
        S().ActionType = type;
        S().ActionDay = day;
    }
    // What the schedule did: power calls and alarms, in order.
    std::vector<std::string> Actions() const {
        std::vector<std::string> out;
        for (const auto& c : fake.log.calls)
            if (c.rfind("ExitWindowsEx", 0) == 0 || c.rfind("SetSystemPower", 0) == 0 ||
                c == "DoModal 119")
                out.push_back(c);
        return out;
    }
    size_t Confirmations() const { return fake.log.Count("DoModal 118"); }
};

TEST(Schedule, ActionIndexChoosesThePowerCallAndAnythingElseIsTheAlarm) {
    // clang-format off
    const std::pair<int, const char*> cases[] = {
        {0, "ExitWindowsEx 0xD"}, {1, "ExitWindowsEx 0x6"}, {2, "ExitWindowsEx 0x4"},
        {3, "SetSystemPowerState 0 0"}, {4, "SetSystemPowerState 1 1"},
        {5, "DoModal 119"}, {9, "DoModal 119"}, {-1, "DoModal 119"}};
    // clang-format on
    for (const auto& [action, call] : cases) {
        ScheduleRig rig;
        rig.Schedule(kDaily, k0730, action, 0, /*confirm=*/0);
        rig.Tick(7, 30);
        EXPECT_THAT(rig.Actions(), ElementsAre(call)) << "Action " << action;
    }
}

// Ticks at 07:25 and 07:30 on each day of a week: which days confirm and run, and whether the
// schedule is still enabled afterwards.
TEST(Schedule, TypesAndDaysDecideWhichDaysRun) {
    struct Case {
        int32_t type, day;
        std::vector<int> days;  // weekdays with a confirmation and a run
        int32_t enabledAfter;
    };
    // clang-format off
    const Case cases[] = {
        {kOnce,   0, {0}, 0},
        {kDaily,  0, {0, 1, 2, 3, 4, 5, 6}, 1},
        {7,       0, {0, 1, 2, 3, 4, 5, 6}, 1},  // unknown types act as daily
        {kWeekly, 2, {1}, 1},                    // Monday
        {kWeekly, 0, {}, 1},                     // no day chosen: never
        {kWeekly, 8, {}, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        ScheduleRig rig;
        rig.Schedule(c.type, k0730, kRestart, c.day);
        rig.fake.dialogs.OnEvery(IDD_CONFIRM_ACTION, kOk);
        std::vector<int> confirmDays, runDays;
        for (int weekday = 0; weekday < 7; ++weekday) {
            const size_t confirms = rig.Confirmations(), runs = rig.Actions().size();
            rig.Tick(7, 25, weekday);
            rig.Tick(7, 30, weekday);
            if (rig.Confirmations() > confirms) confirmDays.push_back(weekday);
            if (rig.Actions().size() > runs) runDays.push_back(weekday);
        }
        SCOPED_TRACE("type " + std::to_string(c.type) + " day " + std::to_string(c.day));
        EXPECT_EQ(confirmDays, c.days);
        EXPECT_EQ(runDays, c.days);
        EXPECT_EQ(rig.S().ScheduledAction, c.enabledAfter);
        // A run writes only the skip flag; the end of a once schedule saves everything.
        EXPECT_EQ(rig.Count("WriteDword"), c.days.size() + (c.enabledAfter ? 0u : 16u));
    }
}

// One tick in every minute of a day: where the confirmation shows and where the run happens.
TEST(Schedule, ConfirmationFiveMinutesBeforeWithoutWrappingPastMidnight) {
    struct Case {
        int32_t exactTime, confirm;
        std::vector<int> confirmAt, runAt;
    };
    // clang-format off
    const Case cases[] = {
        {0, 1, {}, {0}}, {4, 1, {}, {4}}, {5, 1, {0}, {5}}, {1439, 1, {1434}, {1439}},
        {450, 0, {}, {450}}, {5000, 1, {}, {}}, {INT32_MIN, 1, {}, {}}, {INT32_MAX, 1, {}, {}}};
    // clang-format on
    for (const Case& c : cases) {
        ScheduleRig rig;
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

// The answer to the 07:25 confirmation, then 07:30, then the next day's 07:25 (OK) and 07:30.
TEST(Schedule, CancelSkipsExactlyOneRunAndOkLeavesAPendingSkip) {
    struct Case {
        const char* what;
        FakeDialogHost::Script answer;  // nullptr: the close box
        int32_t type, pendingSkip;
        uint32_t skipStored;  // after the confirmation
        size_t runs;          // over both days
    };
    const FakeDialogHost::Script cancel = [](FakeDialog& d) { d.Click(IDCANCEL); };
    const FakeDialogHost::Script escape = [](FakeDialog& d) { d.PressEscape(); };
    // clang-format off
    const Case cases[] = {
        {"Cancel button",          cancel,  kDaily, 0, 1, 1},
        {"Escape",                 escape,  kDaily, 0, 1, 1},
        {"close box",              nullptr, kDaily, 0, 1, 1},
        {"OK",                     kOk,     kDaily, 0, 0, 2},
        {"OK with a pending skip", kOk,     kDaily, 1, 0, 1},
        {"once, cancelled",        nullptr, kOnce,  0, 1, 0},  // ends without running
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScheduleRig rig;
        rig.Schedule(c.type, k0730);
        rig.S().DisableOnce = c.pendingSkip;
        if (c.answer) rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, c.answer);
        rig.Tick(7, 25);
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), c.skipStored);
        EXPECT_EQ(rig.S().DisableOnce, c.skipStored || c.pendingSkip ? 1 : 0);
        rig.Tick(7, 30);
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 0u);  // used up either way
        rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
        rig.Tick(7, 25, 2);
        rig.Tick(7, 30, 2);
        EXPECT_EQ(rig.Actions(), Calls(c.runs, "ExitWindowsEx 0x6"));
        EXPECT_EQ(rig.Count("WriteDword RegScheduledAction 0"), c.type == kOnce ? 1u : 0u);
    }
}

TEST(Alarm, BeepsOnTimerThreeUntilDismissedThenFinishesTheRun) {
    ScheduleRig rig;
    rig.Schedule(kOnce, k0730, kAlarm, 0, 0);
    rig.fake.dialogs.OnNext(IDD_ALARM, [&](FakeDialog& d) {
        EXPECT_EQ(rig.fake.window.timers[TIMER_ALARM], 250u);
        for (int i = 0; i < 3; ++i) rig.F().OnTimer(TIMER_ALARM);
        EXPECT_EQ(rig.S().ScheduledAction, 1);  // the once bookkeeping waits for the alarm
        rig.Tick(7, 30);  // a second alarm in the same minute, closed at once, ...
        EXPECT_EQ(rig.fake.window.timers.count(TIMER_ALARM), 1u);  // ...leaves the first beeping
        d.Click(IDOK);
    });
    rig.Tick(7, 30);
    const CallLog& log = rig.fake.log;
    EXPECT_EQ(log.Matching("MessageBeep"), Calls(3, "MessageBeep 0xFFFFFFFF"));
    EXPECT_EQ(rig.fake.window.timers.count(TIMER_ALARM), 0u);
    EXPECT_EQ(log.Count("KillTimer 3"), 1u);
    EXPECT_LT(log.IndexOf("SetTimer 3 250"), log.IndexOf("DoModal 119"));
    EXPECT_LT(log.IndexOf("EndDialog 119 1"), log.IndexOf("KillTimer 3"));
    EXPECT_EQ(rig.S().ScheduledAction, 0);
}

// The confirmation and the alarm run nested message loops that keep delivering ticks.
TEST(SchedulerDialogs, AnUnansweredConfirmationHoldsNothingBackAndRefusesTheTrayMenu) {
    ScheduleRig rig;
    rig.Schedule(kDaily, k0730, kAlarm);
    rig.fake.tray.pickOnTrack = ID_EXIT;  // a menu shown now would pull the window away
    rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, [&](FakeDialog& d) {
        rig.Mouse(MOUSE_RBUTTONUP);
        rig.fake.dialogs.OnNext(IDD_ALARM, [&](FakeDialog& alarm) {
            rig.Mouse(MOUSE_RBUTTONUP);
            alarm.Click(IDOK);
        });
        rig.Tick(7, 26);
        rig.Tick(7, 30);  // still unanswered at the action minute: the alarm runs
        rig.Mouse(MOUSE_RBUTTONUP);
        EXPECT_FALSE(rig.F().TrayIcon.DialogOpen);  // the menu dialogs' flag is left alone
        d.Click(IDCANCEL);                          // answered late
    });
    rig.Tick(7, 25);
    // The outer check keeps its own minute (07:25) and runs nothing more; the late Cancel still
    // sets the skip.
    EXPECT_EQ(rig.Actions(), Calls{"DoModal 119"});
    EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 1u);
    EXPECT_EQ(rig.fake.tray.menusShown, 0);
    rig.Mouse(MOUSE_RBUTTONUP);
    EXPECT_EQ(rig.fake.tray.menusShown, 1);
    EXPECT_TRUE(rig.fake.window.destroyed);
}

// The checked buttons, the weekday selection, then the exact and the timer fields, e.g.
// "Enable Exact Restart Daily | 3 | 07:05 | 00:00".
std::string Shown(FakeDialog& d) {
    return Checked(d) + " | " + std::to_string(d.ComboGetCurSel(IDC_WEEKDAY_LIST)) + " | " +
           d.GetItemText(IDC_EXACT_HOUR) + ":" + d.GetItemText(IDC_EXACT_MINUTE) + " | " +
           d.GetItemText(IDC_TIMER_HOUR) + ":" + d.GetItemText(IDC_TIMER_MINUTE);
}

void Open(Rig& rig, FakeDialogHost::Script script) {
    rig.Dialog(ID_AUTO_SHUTDOWN, IDD_AUTO_SHUTDOWN, std::move(script));
}

std::string OpenAndRead(Rig& rig) {
    std::string shown;
    Open(rig, [&](FakeDialog& d) { shown = Shown(d); });
    return shown;
}

// Types a time into the chosen mode's pair and nonsense into the other, presses OK, then lets
// afterOk act while the dialog is still on its way out.
void Enter(Rig& rig, bool timer, const char* hour, const char* minute,
           const std::function<void()>& afterOk = {}) {
    Open(rig, [&](FakeDialog& d) {
        d.Click(timer ? IDC_TIMER_MODE : IDC_EXACT_TIME);
        d.Type(timer ? IDC_TIMER_HOUR : IDC_EXACT_HOUR, hour);
        d.Type(timer ? IDC_TIMER_MINUTE : IDC_EXACT_MINUTE, minute);
        d.Type(timer ? IDC_EXACT_HOUR : IDC_TIMER_HOUR, "99");
        d.Type(timer ? IDC_EXACT_MINUTE : IDC_TIMER_MINUTE, "-9");
        d.Click(IDOK);
        if (afterOk) afterOk();
    });
}

TEST(AutoShutdown, OpensShowingTheStoredSchedule) {
    struct Case {
        int32_t enable, confirm, exactTime, action, type, day;
        const char* shown;
    };
    // clang-format off
    const Case cases[] = {
        {1, 0, 425,   3,  1, 4, "Enable Exact Hibernate Daily | 3 | 07:05 | 00:00"},
        {0, 1, 0,     0,  0, 1, "Confirmation Exact Shutdown Once | 0 | 00:00 | 00:00"},
        {0, 1, 1439,  5,  2, 7, "Confirmation Exact Alarm Weekly | 6 | 23:59 | 00:00"},
        // Out of range: Action 9 shows Alarm, type 7 Weekly, day 0 or 8 nothing selected.
        {7, 2, 5000,  9,  7, 0, "Enable Confirmation Exact Alarm Weekly | -1 | 83:20 | 00:00"},
        {0, 0, -1,   -1, -1, 8, "Exact Alarm Weekly | -1 | 71582788:15 | 00:00"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Rig rig;
        rig.S() = {.ScheduledAction = c.enable,
                   .DialogBeforeAction = c.confirm,
                   .ExactTime = c.exactTime,
                   .Action = c.action,
                   .ActionType = c.type,
                   .ActionDay = c.day};
        EXPECT_EQ(OpenAndRead(rig), c.shown);
    }
}

// The fields are read like atoi and hold two characters; the stored time comes back padded.
TEST(AutoShutdown, ExactTimeIsParsedStoredAndShownAgain) {
    // clang-format off
    const std::tuple<const char*, const char*, uint32_t, const char*> cases[] = {
        {"7", "5", 425, "07:05"}, {" 7", "5x", 425, "07:05"}, {"ab", "", 0, "00:00"},
        {"+1", "-0", 60, "01:00"}, {"1a", "09", 69, "01:09"}, {"123", "4", 724, "12:04"}};
    // clang-format on
    for (const auto& [hour, minute, stored, shown] : cases) {
        Rig rig;
        rig.S().ExactTime = 999;  // shows as 16:39 unless the entry is stored
        Enter(rig, false, hour, minute);
        EXPECT_EQ(rig.fake.registry.Get("RegExactTime"), stored) << hour << ":" << minute;
        EXPECT_EQ(OpenAndRead(rig),
                  std::string("Exact Shutdown Once | -1 | ") + shown + " | 00:00");
    }
}

TEST(AutoShutdown, InvalidPairWarnsAndKeepsTheDialogOpenWithTheInputUntouched) {
    // clang-format off
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "24", "00"}, {false, "23", "60"}, {false, "-1", "10"}, {false, "5", "-1"},
        {true, "24", "00"}, {true, "00", "60"}, {true, "-1", "00"}};
    // clang-format on
    for (const auto& [timer, hour, minute] : cases) {
        SCOPED_TRACE(std::string(timer ? "timer " : "exact ") + hour + ":" + minute);
        Rig rig;
        Open(rig, [&](FakeDialog& d) {
            d.Click(timer ? IDC_TIMER_MODE : IDC_EXACT_TIME);
            d.Type(timer ? IDC_TIMER_HOUR : IDC_EXACT_HOUR, hour);
            d.Type(timer ? IDC_TIMER_MINUTE : IDC_EXACT_MINUTE, minute);
            const std::string typed = Shown(d);
            d.Click(IDOK);
            EXPECT_FALSE(d.Ended());
            EXPECT_EQ(Shown(d), typed);
        });  // then closed with the close box
        EXPECT_EQ(rig.fake.dialogs.runs.front().templateId,
                  timer ? IDD_INVALID_TIMER : IDD_INVALID_TIME);
        EXPECT_EQ(rig.Count("WriteDword"), 0u);
        EXPECT_EQ(rig.S(), AppSettings{});
    }
}

TEST(AutoShutdown, CountdownRunsFromTheMomentTheDialogClosedAndWrapsAtMidnight) {
    struct Case {
        const char *hours, *minutes;
        int nowHour, nowMinute;
        int32_t expected;
    };
    // clang-format off
    const Case cases[] = {
        {"2", "30", 22, 45, 75},     // 1515 - 1440
        {"00", "00", 13, 7, 787},    // the current minute
        {"23", "59", 23, 59, 1438},  // the largest sum, 2878
        {"ab", "", 8, 20, 500}};
    // clang-format on
    for (const Case& c : cases) {
        Rig rig;
        rig.fake.clock.Set(1, 1);  // the time while the user types
        Enter(rig, true, c.hours, c.minutes, [&] { rig.fake.clock.Set(c.nowHour, c.nowMinute); });
        EXPECT_EQ(rig.S().ExactTime, c.expected) << c.hours << ":" << c.minutes;
    }
}

// Default sets the controls only; OK stores every choice but leaves a pending skip alone.
TEST(AutoShutdown, DefaultSetsOnlyTheControlsAndOkStoresEveryChoice) {
    Rig rig;
    rig.S().DisableOnce = 1;
    Open(rig, [&](FakeDialog& d) {
        d.Click(IDC_TIMER_MODE);
        d.Type(IDC_TIMER_HOUR, "5");
        d.Click(IDC_DEFAULT);
        EXPECT_EQ(Shown(d), "Enable Confirmation Exact Shutdown Once | 0 | 00:00 | 00:00");
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(rig.Count("WriteDword"), 0u);
    Open(rig, [](FakeDialog& d) {
        for (int id : {IDC_ENABLE_SCHEDULE, IDC_ACTION_STANDBY, IDC_TYPE_WEEKLY}) d.Click(id);
        d.Pick(IDC_WEEKDAY_LIST, 3);
        d.Type(IDC_EXACT_HOUR, "6");
        d.Type(IDC_EXACT_MINUTE, "45");
        d.Click(IDOK);
    });
    EXPECT_EQ(rig.S(), (AppSettings{.ScheduledAction = 1,
                                    .ExactTime = 405,
                                    .Action = 4,
                                    .ActionType = 2,
                                    .ActionDay = 4,
                                    .DisableOnce = 1}));
    EXPECT_EQ(rig.Count("WriteDword"), 16u);
}

}  // namespace
}  // namespace hvx::test
