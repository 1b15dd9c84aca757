// The Auto Shutdown dialog and its command: opening, Default, parsing, validation, storing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What a running Auto Shutdown dialog shows.
struct Shown {
    std::vector<int> checked;  // every checked button, in id order
    int day;                   // weekday list selection
    std::string exactHour, exactMinute, timerHour, timerMinute;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Shown& s) {
    os << "checked";
    for (int id : s.checked) os << ' ' << id;
    return os << " day " << s.day << " '" << s.exactHour << "':'" << s.exactMinute << "' '"
              << s.timerHour << "':'" << s.timerMinute << "'";
}

Shown Read(FakeDialog& d) {
    Shown s;
    for (int id :
         {IDC_CONFIRM_BEFORE_ACTION, IDC_ENABLE_SCHEDULE, IDC_ACTION_SHUTDOWN, IDC_ACTION_RESTART,
          IDC_ACTION_LOGOFF, IDC_ACTION_HIBERNATE, IDC_ACTION_STANDBY, IDC_ACTION_ALARM,
          IDC_TYPE_ONCE, IDC_TYPE_DAILY, IDC_TYPE_WEEKLY, IDC_EXACT_TIME, IDC_TIMER_MODE})
        if (d.IsButtonChecked(id)) s.checked.push_back(id);
    s.day = d.ComboGetCurSel(IDC_WEEKDAY_LIST);
    s.exactHour = d.GetItemText(IDC_EXACT_HOUR);
    s.exactMinute = d.GetItemText(IDC_EXACT_MINUTE);
    s.timerHour = d.GetItemText(IDC_TIMER_HOUR);
    s.timerMinute = d.GetItemText(IDC_TIMER_MINUTE);
    return s;
}

class AutoShutdownTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        fake.log.Clear();
    }
    AppSettings& S() { return app.MainWnd()->Settings; }
    // Opens the dialog from the menu command with script acting as the user.
    void Open(FakeDialogHost::Script script) {
        fake.dialogs.OnNext(IDD_AUTO_SHUTDOWN, std::move(script));
        app.MainWnd()->OnCommand(ID_AUTO_SHUTDOWN);
    }
    Shown OpenAndRead() {
        Shown shown;
        Open([&](FakeDialog& d) { shown = Read(d); });
        return shown;
    }
    // Types both pairs of times, picks the mode and presses OK.
    void Enter(bool timerMode, std::string exactHour, std::string exactMinute,
               std::string timerHour = "00", std::string timerMinute = "00") {
        Open([=](FakeDialog& d) {
            d.Click(timerMode ? IDC_TIMER_MODE : IDC_EXACT_TIME);
            d.Type(IDC_EXACT_HOUR, exactHour);
            d.Type(IDC_EXACT_MINUTE, exactMinute);
            d.Type(IDC_TIMER_HOUR, timerHour);
            d.Type(IDC_TIMER_MINUTE, timerMinute);
            d.Click(IDOK);
        });
    }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

TEST_F(AutoShutdownTest, OpensShowingTheStoredSchedule) {
    struct Case {
        int32_t enable, confirm, exactTime, action, type, day;
        Shown shown;
    };
    const Case cases[] = {
        {1,
         0,
         425,
         3,
         1,
         4,
         {{IDC_ENABLE_SCHEDULE, IDC_ACTION_HIBERNATE, IDC_TYPE_DAILY, IDC_EXACT_TIME},
          3,
          "07",
          "05",
          "00",
          "00"}},
        {0,
         1,
         0,
         0,
         0,
         1,
         {{IDC_CONFIRM_BEFORE_ACTION, IDC_ACTION_SHUTDOWN, IDC_TYPE_ONCE, IDC_EXACT_TIME},
          0,
          "00",
          "00",
          "00",
          "00"}},
        {1,
         1,
         1439,
         5,
         2,
         7,
         {{IDC_CONFIRM_BEFORE_ACTION, IDC_ENABLE_SCHEDULE, IDC_ACTION_ALARM, IDC_TYPE_WEEKLY,
           IDC_EXACT_TIME},
          6,
          "23",
          "59",
          "00",
          "00"}},
        // Out of range: Action 9 shows Alarm, type 7 Weekly, day 0 or 8 nothing selected.
        {7,
         2,
         5000,
         9,
         7,
         0,
         {{IDC_CONFIRM_BEFORE_ACTION, IDC_ENABLE_SCHEDULE, IDC_ACTION_ALARM, IDC_TYPE_WEEKLY,
           IDC_EXACT_TIME},
          -1,
          "83",
          "20",
          "00",
          "00"}},
        {0,
         0,
         -1,
         -1,
         -1,
         8,
         {{IDC_ACTION_ALARM, IDC_TYPE_WEEKLY, IDC_EXACT_TIME}, -1, "71582788", "15", "00", "00"}},
    };
    for (const Case& c : cases) {
        S().ScheduledAction = c.enable;
        S().DialogBeforeAction = c.confirm;
        S().ExactTime = c.exactTime;
        S().Action = c.action;
        S().ActionType = c.type;
        S().ActionDay = c.day;
        EXPECT_EQ(OpenAndRead(), c.shown) << "ExactTime " << c.exactTime;
    }
}

TEST_F(AutoShutdownTest, ListsTheWeekInOrderLimitsTheFieldsAndRefusesTheMenu) {
    Open([&](FakeDialog& d) {
        EXPECT_THAT(d.At(IDC_WEEKDAY_LIST).items,
                    ElementsAre("Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"));
        for (int id : {IDC_EXACT_HOUR, IDC_EXACT_MINUTE, IDC_TIMER_HOUR, IDC_TIMER_MINUTE}) {
            d.Type(id, "123");
            EXPECT_EQ(d.GetItemText(id), "12") << id;
        }
        EXPECT_TRUE(app.MainWnd()->TrayIcon.DialogOpen);
    });
    EXPECT_FALSE(app.MainWnd()->TrayIcon.DialogOpen);
    EXPECT_THAT(fake.log.Matching("WriteDword"), IsEmpty());  // closed with the close box
}

TEST_F(AutoShutdownTest, ExactTimeIsStoredAndShownAgainWithLeadingZeros) {
    Enter(false, "7", "5");
    EXPECT_EQ(S().ExactTime, 425);
    EXPECT_EQ(fake.registry.Get("RegExactTime"), 425u);
    const Shown again = OpenAndRead();
    EXPECT_EQ(again.exactHour, "07");
    EXPECT_EQ(again.exactMinute, "05");
}

TEST_F(AutoShutdownTest, FieldsAreReadLikeAtoi) {
    // The timer fields are not looked at in Exact Time mode.
    const std::tuple<const char*, const char*, int32_t> cases[] = {
        {"ab", "", 0}, {"", "", 0}, {" 7", "5x", 425}, {"+1", "-0", 60}, {"1a", "09", 69},
    };
    for (const auto& [hour, minute, expected] : cases) {
        S().ExactTime = 999;
        Enter(false, hour, minute, "99", "-9");
        EXPECT_EQ(S().ExactTime, expected) << "'" << hour << "':'" << minute << "'";
    }
}

TEST_F(AutoShutdownTest, InvalidPairWarnsAndKeepsTheDialogOpenWithTheInputUntouched) {
    struct Case {
        bool timerMode;
        const char *hour, *minute;
        int warning;
    };
    const Case cases[] = {
        {false, "24", "00", IDD_INVALID_TIME}, {false, "23", "60", IDD_INVALID_TIME},
        {false, "-1", "10", IDD_INVALID_TIME}, {false, "5", "-1", IDD_INVALID_TIME},
        {true, "24", "00", IDD_INVALID_TIMER}, {true, "00", "60", IDD_INVALID_TIMER},
        {true, "-1", "00", IDD_INVALID_TIMER},
    };
    const AppSettings before = S();
    for (const Case& c : cases) {
        fake.log.Clear();
        fake.dialogs.runs.clear();
        Open([&](FakeDialog& d) {
            d.Click(c.timerMode ? IDC_TIMER_MODE : IDC_EXACT_TIME);
            d.Type(c.timerMode ? IDC_TIMER_HOUR : IDC_EXACT_HOUR, c.hour);
            d.Type(c.timerMode ? IDC_TIMER_MINUTE : IDC_EXACT_MINUTE, c.minute);
            const Shown typed = Read(d);
            d.Click(IDOK);
            EXPECT_FALSE(d.Ended()) << c.hour << ":" << c.minute;
            EXPECT_EQ(Read(d), typed) << c.hour << ":" << c.minute;
        });  // then closed with the close box
        ASSERT_EQ(fake.dialogs.runs.size(), 2u);
        EXPECT_EQ(fake.dialogs.runs[0].templateId, c.warning) << c.hour << ":" << c.minute;
        EXPECT_EQ(fake.dialogs.runs[1].result, IDCANCEL);
        EXPECT_THAT(fake.log.Matching("WriteDword"), IsEmpty());
        EXPECT_EQ(S(), before);
    }
}

TEST_F(AutoShutdownTest, CountdownRunsFromTheMomentTheDialogClosed) {
    struct Case {
        const char *hours, *minutes;
        int nowHour, nowMinute;
        int32_t expected;
    };
    const Case cases[] = {
        {"2", "30", 22, 45, 75},     // 1515 - 1440
        {"00", "00", 13, 7, 787},    // the current minute
        {"23", "59", 23, 59, 1438},  // the largest sum, 2878
        {"0", "15", 10, 0, 615},    {"ab", "", 8, 20, 500},
    };
    for (const Case& c : cases) {
        fake.clock.Set(1, 1);  // the time while the user types
        Open([&](FakeDialog& d) {
            d.Click(IDC_TIMER_MODE);
            d.Type(IDC_EXACT_HOUR, "99");  // not looked at in Timer mode
            d.Type(IDC_TIMER_HOUR, c.hours);
            d.Type(IDC_TIMER_MINUTE, c.minutes);
            d.Click(IDOK);
            fake.clock.Set(c.nowHour, c.nowMinute);  // time passes before the dialog is gone
        });
        EXPECT_EQ(S().ExactTime, c.expected) << c.hours << ":" << c.minutes;
        EXPECT_EQ(fake.dialogs.runs.back().result, IDOK);
        // The next opening shows the resulting time, in Exact Time mode, timer at "00".
        const Shown again = OpenAndRead();
        EXPECT_EQ(again.timerHour + again.timerMinute, "0000");
        EXPECT_NE(std::find(again.checked.begin(), again.checked.end(), IDC_EXACT_TIME),
                  again.checked.end());
    }
}

TEST_F(AutoShutdownTest, OkStoresEveryChoiceButLeavesTheSkipFlag) {
    S().DisableOnce = 1;
    Open([](FakeDialog& d) {
        d.Click(IDC_ENABLE_SCHEDULE);
        d.Click(IDC_ACTION_STANDBY);
        d.Click(IDC_TYPE_WEEKLY);
        d.Pick(IDC_WEEKDAY_LIST, 3);
        d.Type(IDC_EXACT_HOUR, "6");
        d.Type(IDC_EXACT_MINUTE, "45");
        d.Click(IDOK);
    });
    AppSettings expected{};
    expected.ScheduledAction = 1;
    expected.DialogBeforeAction = 0;
    expected.ExactTime = 405;
    expected.Action = 4;
    expected.ActionType = 2;
    expected.ActionDay = 4;
    expected.DisableOnce = 1;
    EXPECT_EQ(S(), expected);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
    EXPECT_EQ(fake.registry.Get("RegActionDay"), 4u);
}

TEST_F(AutoShutdownTest, UnusualStoredValuesComeBackNormalised) {
    // Alarm for Action 9, nothing selected for day 0; the enable box unchecked still stores.
    S().ScheduledAction = 1;
    S().Action = 9;
    S().ActionType = 2;
    S().ActionDay = 0;
    Open([](FakeDialog& d) {
        d.Click(IDC_ENABLE_SCHEDULE);
        d.Click(IDOK);
    });
    EXPECT_EQ(S().Action, 5);
    EXPECT_EQ(S().ActionDay, 0);
    EXPECT_EQ(S().ActionType, 2);
    EXPECT_EQ(S().ScheduledAction, 0);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
}

TEST_F(AutoShutdownTest, DefaultSetsOnlyTheControls) {
    S().ExactTime = 425;
    S().Action = 3;
    S().ActionType = 2;
    S().ActionDay = 5;
    const AppSettings before = S();
    Open([&](FakeDialog& d) {
        d.Click(IDC_TIMER_MODE);
        d.Type(IDC_TIMER_HOUR, "5");
        d.Click(IDC_DEFAULT);
        EXPECT_EQ(Read(d), (Shown{{IDC_CONFIRM_BEFORE_ACTION, IDC_ENABLE_SCHEDULE,
                                   IDC_ACTION_SHUTDOWN, IDC_TYPE_ONCE, IDC_EXACT_TIME},
                                  0,
                                  "00",
                                  "00",
                                  "00",
                                  "00"}));
        EXPECT_FALSE(d.Ended());
        EXPECT_EQ(S(), before);
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(S(), before);
    EXPECT_THAT(fake.log.Matching("WriteDword"), IsEmpty());
}

TEST_F(AutoShutdownTest, ScheduleKeepsRunningWhileTheDialogIsOpen) {
    S().ScheduledAction = 1;
    S().DialogBeforeAction = 1;
    S().ExactTime = 7 * 60 + 30;
    S().Action = 1;
    S().ActionType = 1;
    CTrayIcon& tray = app.MainWnd()->TrayIcon;
    Open([&](FakeDialog& d) {
        fake.dialogs.OnNext(IDD_CONFIRM_ACTION, [&](FakeDialog& confirm) {
            EXPECT_TRUE(tray.DialogOpen);
            EXPECT_EQ(tray.SchedulerDialogsOpen, 1);
            confirm.Click(IDOK);
        });
        fake.clock.Set(7, 25);
        app.MainWnd()->OnTimer(TIMER_SCHEDULE);
        EXPECT_TRUE(tray.DialogOpen);  // still inside the Auto Shutdown dialog
        EXPECT_EQ(tray.SchedulerDialogsOpen, 0);
        fake.clock.Set(7, 30);
        app.MainWnd()->OnTimer(TIMER_SCHEDULE);
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(fake.log.Count("ExitWindowsEx 0x6"), 1u);
    EXPECT_FALSE(tray.DialogOpen);
}

}  // namespace
}  // namespace hvx::test
