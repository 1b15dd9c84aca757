// Modal dialogs built as Qt widgets from the dialog templates of resources/, laid out by
// dialog units of the template's font. Each runs its own event loop without blocking the other
// windows of the program, so timers, hotkeys and the tray icon keep working while it shows,
// and a dialog opened from inside another one nests.
#pragma once

#include "platform/Dialog.h"

namespace hvx::linux_platform {

class QtDialogHost : public IDialogHost {
  public:
    int DoModal(CDialog& dialog) override;
};

}  // namespace hvx::linux_platform
