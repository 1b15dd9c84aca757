// The notification-area icon, its popup menu and the dialog-open rule.
#pragma once

#include <string_view>

#include "platform/MainWindow.h"
#include "platform/TrayHost.h"

namespace hvx {

class CTrayIcon : public ITrayHandler {
  public:
    CTrayIcon(ITrayHost& host, IMainWindow& mainWindow) : m_host(host), m_mainWindow(mainWindow) {}

    void Create(unsigned callbackMessage, std::string_view tip);
    void RemoveIcon();
    void SetMuteLabel(bool muted);
    // Brings the icon's tip and image (muted or not) to this state; nothing reaches the
    // notification area unless one of them changed.
    void SetState(std::string_view tip, bool muted);

    int OnTrayNotification(uintptr_t wParam, uintptr_t lParam) override;
    void OnTaskbarCreated() override;

    // True while a dialog opened from the menu is showing.
    bool DialogOpen = false;
    // How many of the scheduler's confirmation and alarm dialogs are showing.
    int SchedulerDialogsOpen = 0;
    // The menu does not open while any of them shows.
    bool MenuRefused() const override { return DialogOpen || SchedulerDialogsOpen > 0; }

  private:
    ITrayHost& m_host;
    IMainWindow& m_mainWindow;
    NotifyIconData m_data;
    bool m_iconAdded = false;
};

}  // namespace hvx
