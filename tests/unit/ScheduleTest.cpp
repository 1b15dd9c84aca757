// The minute tick (matching, confirmation, skip bookkeeping, re-entry through the confirmation
// and the alarm, the tray menu refused while they show) and the Auto Shutdown dialog.

#include <tuple>

#include "tests/unit/Rig.h"

namespace hvx::test {
namespace {

constexpr int kOnce = 0, kDaily = 1, kWeekly = 2;
constexpr int kRestart = 1, kAlarm = 5;
constexpr int k0730 = 7 * 60 + 30;
const FakeDialogHost::Script kOk = [](FakeDialog& d) { d.Click(IDOK); };

// A schedule in the settings record, everything else zero.
AppSettings Sched(int32_t enable, int32_t confirm, int32_t exactTime, int32_t action, int32_t type,
                  int32_t day, int32_t skip = 0) {
    return {0, 0, 0, 0, 0, 0, 0, 0, 0, enable, confirm, exactTime, action, type, day, skip};
}

struct ScheduleRig : Rig {
    void Schedule(int type, int exactTime, int action = kRestart, int day = 0, int confirm = 1) {
        S() = Sched(1, confirm, exactTime, action, type, day);
    }
    // What the schedule did: power calls and alarms, in order.
    Calls Actions() const {
        Calls out;
        for (const auto& c : fake.log.calls)
            if (c.rfind("ExitWindowsEx", 0) == 0 || c.rfind("SetSystemPower", 0) == 0 ||
                c == "DoModal 119")
                out.push_back(c);
        return out;
    }
    // Ticks at each minute of each weekday with every confirmation answered OK; returns the
    // ticks that brought a confirmation and those that ran the action, as "weekday:minute".
    std::pair<Calls, Calls> Sweep(const std::vector<int>& weekdays, int from, int to) {
        fake.dialogs.OnEvery(IDD_CONFIRM_ACTION, kOk);
        Calls confirmed, ran;
        for (int weekday : weekdays) {
            for (int minute = from; minute <= to; ++minute) {
                const size_t confirms = fake.log.Count("DoModal 118"), runs = Actions().size();
                Tick(minute / 60, minute % 60, weekday);
                const std::string at = std::to_string(weekday) + ":" + std::to_string(minute);
                if (fake.log.Count("DoModal 118") > confirms) confirmed.push_back(at);
                if (Actions().size() > runs) ran.push_back(at);
            }
        }
        return {confirmed, ran};
    }
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
        EXPECT_EQ(rig.Actions(), Calls{call}) << "Action " << action;
    }
}

// 07:25 and 07:30 on every day of a week: the days that confirm and run (the confirmation
// always five minutes before), and whether the schedule is still enabled afterwards.
TEST(Schedule, TypesAndDaysDecideWhichDaysRun) {
    // clang-format off
    const std::tuple<int32_t, int32_t, std::vector<int>, int32_t> cases[] = {
        // type,  day, the days that run, enabled after
        {kOnce,   0, {0}, 0},
        {kDaily,  0, {0, 1, 2, 3, 4, 5, 6}, 1},
        {7,       0, {0, 1, 2, 3, 4, 5, 6}, 1},  // unknown types act as daily
        {kWeekly, 2, {1}, 1},                    // Monday
        {kWeekly, 0, {}, 1},                     // no day chosen: never
        {kWeekly, 8, {}, 1}};
    // clang-format on
    for (const auto& [type, day, days, enabledAfter] : cases) {
        SCOPED_TRACE("type " + std::to_string(type) + " day " + std::to_string(day));
        ScheduleRig rig;
        rig.Schedule(type, k0730, kRestart, day);
        Calls confirmed, ran;
        for (int d : days) {
            confirmed.push_back(std::to_string(d) + ":445");
            ran.push_back(std::to_string(d) + ":450");
        }
        EXPECT_EQ(rig.Sweep({0, 1, 2, 3, 4, 5, 6}, 445, 450), std::make_pair(confirmed, ran));
        EXPECT_EQ(rig.S().ScheduledAction, enabledAfter);
        // A run writes only the skip flag; the end of a once schedule saves everything.
        EXPECT_EQ(rig.Count("WriteDword"), days.size() + (enabledAfter ? 0u : 17u));
    }
}

// Every minute of a day: no confirmation that would fall before midnight, none unless asked for.
TEST(Schedule, ConfirmationFiveMinutesBeforeWithoutWrappingPastMidnight) {
    // clang-format off
    const std::tuple<int32_t, int32_t, Calls, Calls> cases[] = {
        {0, 1, {}, {"1:0"}}, {4, 1, {}, {"1:4"}}, {5, 1, {"1:0"}, {"1:5"}},
        {1439, 1, {"1:1434"}, {"1:1439"}}, {450, 0, {}, {"1:450"}},
        {5000, 1, {}, {}}, {INT32_MIN, 1, {}, {}}, {INT32_MAX, 1, {}, {}}};
    // clang-format on
    for (const auto& [exactTime, confirm, confirmed, ran] : cases) {
        ScheduleRig rig;
        rig.Schedule(kDaily, exactTime, kRestart, 0, confirm);
        EXPECT_EQ(rig.Sweep({1}, 0, 24 * 60 - 1), std::make_pair(confirmed, ran)) << exactTime;
    }
}

// The answer to the 07:25 confirmation, then 07:30, then the next day's 07:25 (OK) and 07:30.
TEST(Schedule, CancelSkipsExactlyOneRunAndOkLeavesAPendingSkip) {
    const FakeDialogHost::Script cancel = [](FakeDialog& d) { d.Click(IDCANCEL); };
    const FakeDialogHost::Script escape = [](FakeDialog& d) { d.PressEscape(); };
    // clang-format off
    const std::tuple<const char*, FakeDialogHost::Script, int32_t, int32_t, uint32_t, size_t> cases[] = {
        // answer (nullptr: the close box), type, pending skip, skip stored, runs over both days
        {"Cancel button",          cancel,  kDaily, 0, 1, 1},
        {"Escape",                 escape,  kDaily, 0, 1, 1},
        {"close box",              nullptr, kDaily, 0, 1, 1},
        {"OK",                     kOk,     kDaily, 0, 0, 2},
        {"OK with a pending skip", kOk,     kDaily, 1, 0, 1},
        {"once, cancelled",        nullptr, kOnce,  0, 1, 0}};  // ends without running
    // clang-format on
    for (const auto& [what, answer, type, pendingSkip, skipStored, runs] : cases) {
        SCOPED_TRACE(what);
        ScheduleRig rig;
        rig.Schedule(type, k0730);
        rig.S().DisableOnce = pendingSkip;
        if (answer) rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, answer);
        rig.Tick(7, 25);
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), skipStored);
        EXPECT_EQ(rig.S().DisableOnce, skipStored || pendingSkip ? 1 : 0);
        rig.Tick(7, 30);
        EXPECT_EQ(rig.fake.registry.Get("RegDisableOnce"), 0u);  // used up either way
        rig.fake.dialogs.OnNext(IDD_CONFIRM_ACTION, kOk);
        rig.Tick(7, 25, 2);
        rig.Tick(7, 30, 2);
        EXPECT_EQ(rig.Actions(), Calls(runs, "ExitWindowsEx 0x6"));
        EXPECT_EQ(rig.Count("WriteDword RegScheduledAction 0"), type == kOnce ? 1u : 0u);
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
    EXPECT_EQ(log.Count("KillTimer 3"), 1u);
    EXPECT_LT(log.IndexOf("SetTimer 3 250"), log.IndexOf("DoModal 119"));
    EXPECT_LT(log.IndexOf("EndDialog 119 1"), log.IndexOf("KillTimer 3"));
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
    EXPECT_EQ(rig.Count("DestroyWindow"), 1u);
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

// Picks the mode, types a time into its pair and nonsense into the other, presses OK, and lets
// afterOk act while the dialog is on its way out.
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
    // clang-format off
    const std::pair<AppSettings, const char*> cases[] = {
        {Sched(1, 0, 425, 3, 1, 4),    "Enable Exact Hibernate Daily | 3 | 07:05 | 00:00"},
        {Sched(0, 1, 0, 0, 0, 1),      "Confirmation Exact Shutdown Once | 0 | 00:00 | 00:00"},
        {Sched(0, 1, 1439, 5, 2, 7),   "Confirmation Exact Alarm Weekly | 6 | 23:59 | 00:00"},
        // Out of range: Action 9 shows Alarm, type 7 Weekly, day 0 or 8 nothing selected.
        {Sched(7, 2, 5000, 9, 7, 0),   "Enable Confirmation Exact Alarm Weekly | -1 | 83:20 | 00:00"},
        {Sched(0, 0, -1, -1, -1, 8),   "Exact Alarm Weekly | -1 | 71582788:15 | 00:00"}};
    // clang-format on
    for (const auto& [stored, shown] : cases) {
        Rig rig;
        rig.S() = stored;
        EXPECT_EQ(OpenAndRead(rig), shown);
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

// A time out of range, or a weekly schedule without its day (it would never run): a warning, the
// dialog stays open with the input untouched, and nothing is stored until the input is mended.
TEST(AutoShutdown, RefusedInputWarnsAndKeepsTheDialogOpenWithTheInputUntouched) {
    // clang-format off
    const std::tuple<int, const char*, const char*> cases[] = {  // mode, hour, minute
        {IDC_EXACT_TIME, "24", "00"}, {IDC_EXACT_TIME, "23", "60"}, {IDC_EXACT_TIME, "-1", "10"},
        {IDC_EXACT_TIME, "5", "-1"}, {IDC_TIMER_MODE, "24", "00"}, {IDC_TIMER_MODE, "00", "60"},
        {IDC_TIMER_MODE, "-1", "00"}, {IDC_TYPE_WEEKLY, "", ""}};
    // clang-format on
    for (const auto& [mode, hour, minute] : cases) {
        SCOPED_TRACE(std::to_string(mode) + " " + hour + ":" + minute);
        const bool timer = mode == IDC_TIMER_MODE;
        Rig rig;
        Open(rig, [&](FakeDialog& d) {
            d.Click(mode);
            if (*hour) d.Type(timer ? IDC_TIMER_HOUR : IDC_EXACT_HOUR, hour);
            if (*hour) d.Type(timer ? IDC_TIMER_MINUTE : IDC_EXACT_MINUTE, minute);
            const std::string typed = Shown(d);
            d.Click(IDOK);
            EXPECT_FALSE(d.Ended());
            EXPECT_EQ(Shown(d), typed);
        });  // then closed with the close box
        const int warning = !*hour ? IDD_NO_WEEKDAY : timer ? IDD_INVALID_TIMER : IDD_INVALID_TIME;
        EXPECT_EQ(rig.Count("DoModal " + std::to_string(warning)), 1u);
        EXPECT_EQ(rig.Count("WriteDword"), 0u);
        EXPECT_EQ(rig.S(), AppSettings{});
    }
    Rig rig;  // the day picked after the warning mends the weekly schedule
    Open(rig, [](FakeDialog& d) {
        d.Click(IDC_TYPE_WEEKLY), d.Click(IDOK), d.Pick(IDC_WEEKDAY_LIST, 2), d.Click(IDOK);
    });
    EXPECT_EQ(rig.Count("WriteDword"), 17u);
    EXPECT_EQ(rig.S().ActionDay, 3);
}

TEST(AutoShutdown, CountdownRunsFromTheMomentTheDialogClosedAndWrapsAtMidnight) {
    // clang-format off
    const std::tuple<const char*, const char*, int, int, int32_t> cases[] = {
        // hours, minutes, the time the dialog closed, the stored time
        {"2", "30", 22, 45, 75},     // 1515 - 1440
        {"00", "00", 13, 7, 787},    // the current minute
        {"23", "59", 23, 59, 1438},  // the largest sum, 2878
        {"1", "15", 22, 45, 0},      // exactly midnight
        {"ab", "", 8, 20, 500}};
    // clang-format on
    for (const auto& [hours, minutes, hour, minute, expected] : cases) {
        Rig rig;
        rig.fake.clock.Set(1, 1);  // the time while the user types
        Enter(rig, true, hours, minutes, [&] { rig.fake.clock.Set(hour, minute); });
        EXPECT_EQ(rig.S().ExactTime, expected) << hours << ":" << minutes;
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
    EXPECT_EQ(rig.S(), Sched(1, 0, 405, 4, 2, 4, 1));
    EXPECT_EQ(rig.Count("WriteDword"), 17u);
}

}  // namespace
}  // namespace hvx::test
