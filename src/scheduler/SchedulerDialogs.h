// The scheduler's own small dialogs: the confirmation five minutes before a run and the alarm.
// Both are topmost (their templates carry the system-modal style) and have no logic of their
// own: the caller reads the result.
#pragma once

#include "platform/Dialog.h"
#include "resources/Resource.h"

namespace hvx {

// "Scheduled action after 5 minutes, Confirm to launch?" IDOK for OK or Enter; IDCANCEL for
// Cancel, Escape or the close box.
class CConfirmActionDlg : public CDialog {
  public:
    explicit CConfirmActionDlg(IDialogHost& host) : CDialog(host, IDD_CONFIRM_ACTION) {}
};

// "Scheduled Alarm!" RunAlarm beeps on timer 3 while it is open; its result is not used.
class CAlarmDlg : public CDialog {
  public:
    explicit CAlarmDlg(IDialogHost& host) : CDialog(host, IDD_ALARM) {}
};

}  // namespace hvx
