#include "platform/linux/QtDialogHost.h"

#include <memory>

#include "platform/linux/QtDialog.h"

namespace hvx::linux_platform {

int QtDialogHost::DoModal(CDialog& dialog) {
    // Each run builds its own widgets and destroys them when the dialog ends.
    auto window = std::make_unique<QtDialog>(dialog);
    return window->Run();
}

}  // namespace hvx::linux_platform
