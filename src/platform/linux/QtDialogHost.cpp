#include "platform/linux/QtDialogHost.h"

#include <memory>

#include "platform/linux/QtDialog.h"

namespace hvx::linux_platform {

int QtDialogHost::DoModal(CDialog& dialog) {
    // Each run builds its own widgets and destroys them when the dialog ends.
    auto window = std::make_unique<QtDialog>(dialog);
    QtDialog* below = m_running.empty() ? nullptr : m_running.back();
    const bool belowWasEnabled = below && below->isEnabled();
    if (below) below->setEnabled(false);
    m_running.push_back(window.get());
    const int result = window->Run();
    m_running.pop_back();
    if (below && belowWasEnabled) below->setEnabled(true);
    return result;
}

}  // namespace hvx::linux_platform
