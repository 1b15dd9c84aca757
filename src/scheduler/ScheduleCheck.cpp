// The minute tick, the short timers, the alarm and the Auto Shutdown command.
#include <cstdint>
#include <cstdio>
#include <string>

#include "resources/Resource.h"
#include "scheduler/AutoShutdownDlg.h"
#include "scheduler/SchedulerDialogs.h"
#include "shell/MainFrame.h"

namespace hvx {

namespace {

constexpr int32_t kMinutesPerDay = 24 * 60;
constexpr int32_t kConfirmLeadMinutes = 5;
constexpr int32_t kWeekly = 2;
constexpr int32_t kOnce = 0;

// Refuses the tray menu while a confirmation or an alarm is showing, so that Exit cannot
// destroy the main window under a schedule check that waits for the dialog. A counter, because
// these dialogs can nest (a tick inside the confirmation opens the alarm).
class SchedulerDialogScope {
  public:
    explicit SchedulerDialogScope(CTrayIcon& tray) : m_tray(tray) { ++m_tray.SchedulerDialogsOpen; }
    ~SchedulerDialogScope() { --m_tray.SchedulerDialogsOpen; }
    SchedulerDialogScope(const SchedulerDialogScope&) = delete;
    SchedulerDialogScope& operator=(const SchedulerDialogScope&) = delete;

  private:
    CTrayIcon& m_tray;
};

std::string TwoDigits(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2u", value);
    return text;
}

}  // namespace

void CMainFrame::OnTimer(unsigned timerId) {
    switch (timerId) {
        case TIMER_BEEP_GUARD:
            m_platform.window.KillTimer(TIMER_BEEP_GUARD);
            LimitBeepGuard = false;
            break;
        case TIMER_SCHEDULE:
            CheckSchedule();
            // A once-schedule that has run is over; the tip must not promise it again.
            ShowState();
            break;
        case TIMER_ALARM:
            m_platform.window.MessageBeep(BEEP_SIMPLE);
            break;
        default:
            break;
    }
}

// Runs on every minute tick. The confirmation and the alarm run nested message loops that keep
// delivering ticks, so this can be re-entered while an outer call waits on a dialog: each call
// keeps the minute and the day match it computed itself and holds no lock. There is no record
// of the last minute handled: a minute without a tick is not caught up.
void CMainFrame::CheckSchedule() {
    const LocalTime time = m_platform.clock.Now();
    const int64_t now = int64_t{time.hour} * 60 + time.minute;
    const bool dayMatches =
        Settings.ActionType != kWeekly || time.weekday + 1 == Settings.ActionDay;

    if (Settings.ScheduledAction == 0) return;

    // 64-bit, so that a stored time far out of range cannot overflow; the subtraction does not
    // wrap past midnight, so runs at 00:00 to 00:04 are never confirmed.
    if (Settings.DialogBeforeAction != 0 &&
        now == int64_t{Settings.ExactTime} - kConfirmLeadMinutes && dayMatches) {
        CConfirmActionDlg confirm(m_platform.dialogs);
        int result;
        {
            SchedulerDialogScope scope(TrayIcon);
            result = confirm.DoModal();
        }
        // A dialog that could not be shown is not a Cancel: nothing is skipped then.
        if (result == IDCANCEL) {
            WriteDisableOnce(m_platform.registry, 1);
            Settings.DisableOnce = 1;
        }
    }

    // The fields are read afresh: checks nested in the confirmation may have changed them.
    if (now == Settings.ExactTime && dayMatches) {
        if (Settings.DisableOnce == 0) {
            switch (Settings.Action) {
                case 0:
                    OnShutdown();
                    break;
                case 1:
                    OnRestart();
                    break;
                case 2:
                    OnLogOff();
                    break;
                case 3:
                    OnHibernate();
                    break;
                case 4:
                    OnStandby();
                    break;
                default:
                    RunAlarm();
                    break;
            }
        }
        // The run happened or was skipped: either way the skip is used up.
        WriteDisableOnce(m_platform.registry, 0);
        Settings.DisableOnce = 0;
        if (Settings.ActionType == kOnce) {
            Settings.ScheduledAction = 0;
            SaveSettings();
        }
    }
}

void CMainFrame::RunAlarm() {
    CAlarmDlg alarm(m_platform.dialogs);
    m_platform.window.SetTimer(TIMER_ALARM, ALARM_PERIOD_MS);
    ++m_alarmsOpen;
    {
        SchedulerDialogScope scope(TrayIcon);
        alarm.DoModal();
    }
    // An alarm opened by a second tick in the same minute must not silence the first one.
    if (--m_alarmsOpen == 0) m_platform.window.KillTimer(TIMER_ALARM);
}

void CMainFrame::OnAutoShutdown() {
    CAutoShutdownDlg dialog(m_platform.dialogs);
    dialog.m_Enable = Settings.ScheduledAction;
    dialog.m_Confirm = Settings.DialogBeforeAction;
    dialog.m_Action = Settings.Action;
    dialog.m_ScheduleType = Settings.ActionType;
    dialog.m_Day = Settings.ActionDay;
    const uint32_t exactTime = static_cast<uint32_t>(Settings.ExactTime);
    dialog.m_ExactHour = TwoDigits(exactTime / 60);
    dialog.m_ExactMinute = TwoDigits(exactTime % 60);
    dialog.m_TimerHour = "00";
    dialog.m_TimerMinute = "00";

    if (RunMenuDialog(dialog) != IDOK) return;

    // The skip flag is left alone: editing the schedule does not cancel a pending skip.
    Settings.ScheduledAction = dialog.m_Enable;
    Settings.DialogBeforeAction = dialog.m_Confirm;
    Settings.ActionDay = dialog.m_Day;
    Settings.Action = dialog.m_Action;
    Settings.ActionType = dialog.m_ScheduleType;
    if (dialog.m_TimerMode != 0) {
        // The countdown runs from now, after the dialog has closed, in whole clock minutes.
        const LocalTime time = m_platform.clock.Now();
        int32_t at = (time.hour + ParseTimeField(dialog.m_TimerHour)) * 60 + time.minute +
                     ParseTimeField(dialog.m_TimerMinute);
        if (at >= kMinutesPerDay) at -= kMinutesPerDay;  // both parts are at most 23:59
        Settings.ExactTime = at;
    } else {
        Settings.ExactTime =
            ParseTimeField(dialog.m_ExactHour) * 60 + ParseTimeField(dialog.m_ExactMinute);
    }
    SaveSettings();
}

}  // namespace hvx
