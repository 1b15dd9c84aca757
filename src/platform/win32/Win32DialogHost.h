// Modal dialogs built in memory from the templates of resources/ and run with
// DialogBoxIndirectParamW. The dialog's own modal loop keeps dispatching the main window's
// timers, hotkeys and tray messages.
#pragma once

#include <windows.h>

#include "platform/Dialog.h"

namespace hvx::win32 {

class Win32DialogHost final : public IDialogHost {
  public:
    // Returns the value given to EndDialog, or -1 when the dialog could not be created.
    int DoModal(CDialog& dialog) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace hvx::win32
