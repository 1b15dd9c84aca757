// Modal dialogs built in memory from the templates of resources/ and run with
// DialogBoxIndirectParamW. The dialog's own modal loop keeps dispatching the main window's
// timers, hotkeys and tray messages.
// No windows.h here: its GetDlgItemText and SetDlgItemText macros would rename CDialog's members
// of the same names.
#pragma once

#include <vector>

#include "platform/Dialog.h"

namespace hvx::win32 {

class Win32DialogHost final : public IDialogHost {
  public:
    // Returns the value given to EndDialog, or -1 when the dialog could not be created.
    int DoModal(CDialog& dialog) override;

  private:
    // The dialogs showing now, innermost last (HWNDs). A dialog opened while another shows is
    // owned by it, so the one underneath stays disabled until the new one closes.
    std::vector<void*> m_open;
};

}  // namespace hvx::win32
