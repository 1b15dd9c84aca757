// The minute tick, the short timers, the alarm and the Auto Shutdown command.
#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

void CMainFrame::OnTimer(unsigned timerId) {
    switch (timerId) {
        case TIMER_BEEP_GUARD:
            m_platform.window.KillTimer(TIMER_BEEP_GUARD);
            LimitBeepGuard = false;
            break;
        case TIMER_SCHEDULE:
            CheckSchedule();
            break;
        case TIMER_ALARM:
            m_platform.window.MessageBeep(BEEP_SIMPLE);
            break;
        default:
            break;
    }
}

void CMainFrame::CheckSchedule() {}

void CMainFrame::RunAlarm() {}

void CMainFrame::OnAutoShutdown() {}

}  // namespace hvx
