// Modal dialogs built as Qt widgets from the dialog templates of resources/, laid out by
// dialog units of the template's font. Each runs its own event loop without blocking the other
// windows of the program, so timers, hotkeys and the tray icon keep working while it shows. A
// dialog opened while another shows nests, and the one below waits disabled until it ends, as
// an owner window does.
#pragma once

#include <vector>

#include "platform/Dialog.h"

namespace hvx::linux_platform {

class QtDialog;

class QtDialogHost : public IDialogHost {
  public:
    int DoModal(CDialog& dialog) override;

  private:
    std::vector<QtDialog*> m_running;  // innermost last
};

}  // namespace hvx::linux_platform
