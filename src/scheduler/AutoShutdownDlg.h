// The Auto Shutdown dialog, where the user edits the schedule, and its three warnings.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "resources/Resource.h"

namespace hvx {

// "Invalid Time Input": the exact time of day is out of range.
class CInvalidTimeDlg : public CDialog {
  public:
    explicit CInvalidTimeDlg(IDialogHost& host) : CDialog(host, IDD_INVALID_TIME) {}
};

// "Invalid Timer Input": the countdown is out of range.
class CInvalidTimerDlg : public CDialog {
  public:
    explicit CInvalidTimerDlg(IDialogHost& host) : CDialog(host, IDD_INVALID_TIMER) {}
};

// "No Weekday Selected": a weekly schedule without its day, which would never run.
class CNoWeekdayDlg : public CDialog {
  public:
    explicit CNoWeekdayDlg(IDialogHost& host) : CDialog(host, IDD_NO_WEEKDAY) {}
};

// Reads a time field the way atoi does (leading blanks, an optional sign, digits up to the
// first other character; no digits give 0), but saturates instead of overflowing.
int ParseTimeField(const std::string& text);

class CAutoShutdownDlg : public CDialog {
  public:
    // A drop-down list attached to one control of the running dialog.
    class CComboBox {
      public:
        void Attach(IDialogControls* controls, int id) {
            m_controls = controls;
            m_id = id;
        }
        void AddString(std::string_view text) {
            if (m_controls) m_controls->ComboAddString(m_id, text);
        }
        int GetCurSel() const { return m_controls ? m_controls->ComboGetCurSel(m_id) : -1; }
        void SetCurSel(int index) {
            if (m_controls) m_controls->ComboSetCurSel(m_id, index);
        }

      private:
        IDialogControls* m_controls = nullptr;
        int m_id = 0;
    };

    explicit CAutoShutdownDlg(IDialogHost& host) : CDialog(host, IDD_AUTO_SHUTDOWN), m_host(host) {}

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;
    void OnDefault();

    int m_Enable = 0;        // 1010 -> ScheduledAction
    int m_Confirm = 0;       // 1003 -> DialogBeforeAction
    int m_Action = 0;        // 1015..1020 -> Action
    int m_ScheduleType = 0;  // 1021..1023 -> ActionType
    int m_Day = 0;           // weekday list selection + 1 -> ActionDay
    int m_TimerMode = 0;     // set by OK: 0 exact time, 1 countdown
    std::string m_ExactHour;
    std::string m_ExactMinute;
    std::string m_TimerHour;
    std::string m_TimerMinute;
    CComboBox m_DayList;  // 1024, valid while the dialog runs

  protected:
    void DoDataExchange(bool save) override;

  private:
    IDialogHost& m_host;
};

}  // namespace hvx
