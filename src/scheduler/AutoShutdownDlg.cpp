#include "scheduler/AutoShutdownDlg.h"

#include <climits>
#include <cstdlib>

#include "resources/DialogTemplates.h"

namespace hvx {

namespace {

constexpr int kMaxFieldChars = 2;

bool ValidPair(int hours, int minutes) {
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59;
}

}  // namespace

int ParseTimeField(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void CAutoShutdownDlg::DoDataExchange(bool save) {
    m_DayList.Attach(&Controls(), IDC_WEEKDAY_LIST);
    DDX_Text(save, IDC_EXACT_HOUR, m_ExactHour);
    DDV_MaxChars(save, IDC_EXACT_HOUR, m_ExactHour, kMaxFieldChars);
    DDX_Text(save, IDC_EXACT_MINUTE, m_ExactMinute);
    DDV_MaxChars(save, IDC_EXACT_MINUTE, m_ExactMinute, kMaxFieldChars);
    DDX_Text(save, IDC_TIMER_HOUR, m_TimerHour);
    DDV_MaxChars(save, IDC_TIMER_HOUR, m_TimerHour, kMaxFieldChars);
    DDX_Text(save, IDC_TIMER_MINUTE, m_TimerMinute);
    DDV_MaxChars(save, IDC_TIMER_MINUTE, m_TimerMinute, kMaxFieldChars);
}

bool CAutoShutdownDlg::OnInitDialog() {
    CDialog::OnInitDialog();  // attaches the list and loads the edit texts
    // The list keeps the week's order; it is not sorted.
    for (const char* day : WeekdayList()) m_DayList.AddString(day);

    CheckDlgButton(IDC_ENABLE_SCHEDULE, m_Enable != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CONFIRM_BEFORE_ACTION, m_Confirm != 0 ? BST_CHECKED : BST_UNCHECKED);

    // A countdown entered earlier has already become the stored exact time.
    CheckRadioButton(IDC_EXACT_TIME, IDC_TIMER_MODE, IDC_EXACT_TIME);

    const int action =
        (m_Action >= 0 && m_Action <= 4) ? IDC_ACTION_SHUTDOWN + m_Action : IDC_ACTION_ALARM;
    CheckRadioButton(IDC_ACTION_SHUTDOWN, IDC_ACTION_ALARM, action);

    const int type = m_ScheduleType == 0   ? IDC_TYPE_ONCE
                     : m_ScheduleType == 1 ? IDC_TYPE_DAILY
                                           : IDC_TYPE_WEEKLY;
    CheckRadioButton(IDC_TYPE_ONCE, IDC_TYPE_WEEKLY, type);

    // Day 0 (none chosen) or any value outside 1..7 leaves the list without a selection.
    m_DayList.SetCurSel(m_Day >= 1 && m_Day <= 7 ? m_Day - 1 : -1);

    UpdateData(false);
    return true;
}

void CAutoShutdownDlg::OnCommand(int id) {
    if (id == IDC_DEFAULT) OnDefault();
}

void CAutoShutdownDlg::OnDefault() {
    m_DayList.SetCurSel(0);
    m_ExactHour = m_ExactMinute = m_TimerHour = m_TimerMinute = "00";
    CheckDlgButton(IDC_ENABLE_SCHEDULE, BST_CHECKED);
    CheckDlgButton(IDC_CONFIRM_BEFORE_ACTION, BST_CHECKED);
    CheckRadioButton(IDC_EXACT_TIME, IDC_TIMER_MODE, IDC_EXACT_TIME);
    CheckRadioButton(IDC_TYPE_ONCE, IDC_TYPE_WEEKLY, IDC_TYPE_ONCE);
    CheckRadioButton(IDC_ACTION_SHUTDOWN, IDC_ACTION_ALARM, IDC_ACTION_SHUTDOWN);
    UpdateData(false);
}

void CAutoShutdownDlg::OnOK() {
    UpdateData(true);  // a failed exchange does not stop OK
    m_TimerMode = GetCheckedRadioButton(IDC_EXACT_TIME, IDC_TIMER_MODE) == IDC_EXACT_TIME ? 0 : 1;

    // Only the pair of the chosen mode counts; the other may hold anything.
    if (m_TimerMode == 0) {
        if (!ValidPair(ParseTimeField(m_ExactHour), ParseTimeField(m_ExactMinute))) {
            CInvalidTimeDlg warning(m_host);
            warning.DoModal();
            return;  // stay open, input as the user left it
        }
    } else if (!ValidPair(ParseTimeField(m_TimerHour), ParseTimeField(m_TimerMinute))) {
        CInvalidTimerDlg warning(m_host);
        warning.DoModal();
        return;
    }

    // No checked type counts as weekly, as it is stored.
    const int type = GetCheckedRadioButton(IDC_TYPE_ONCE, IDC_TYPE_WEEKLY);
    const bool weekly = type != IDC_TYPE_ONCE && type != IDC_TYPE_DAILY;
    if (weekly && m_DayList.GetCurSel() < 0) {
        CNoWeekdayDlg warning(m_host);
        warning.DoModal();
        return;
    }

    m_Enable = IsDlgButtonChecked(IDC_ENABLE_SCHEDULE) == BST_CHECKED ? 1 : 0;
    m_Confirm = IsDlgButtonChecked(IDC_CONFIRM_BEFORE_ACTION) == BST_CHECKED ? 1 : 0;

    const int action = GetCheckedRadioButton(IDC_ACTION_SHUTDOWN, IDC_ACTION_ALARM);
    m_Action = action == 0 ? IDC_ACTION_ALARM - IDC_ACTION_SHUTDOWN : action - IDC_ACTION_SHUTDOWN;

    m_ScheduleType = type == IDC_TYPE_ONCE ? 0 : type == IDC_TYPE_DAILY ? 1 : 2;

    m_Day = m_DayList.GetCurSel() + 1;
    EndDialog(IDOK);
}

}  // namespace hvx
