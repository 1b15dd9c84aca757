#include "shell/TrayIcon.h"

#include "resources/Menu.h"
#include "resources/Resource.h"
#include "shell/TrayState.h"

namespace hvx {

void CTrayIcon::Create(unsigned callbackMessage, std::string_view tip) {
    m_host.CreateMessageWindow(*this);
    m_host.CreatePopupMenu();
    for (const MenuEntry& entry : TrayMenu()) {
        if (entry.text == nullptr)
            m_host.AppendMenuSeparator();
        else
            m_host.AppendMenuItem(entry.id, entry.text);
    }
    m_data.id = TRAY_ICON_ID;
    m_data.callbackMessage = callbackMessage;
    m_data.iconResource = IDR_MAINFRAME_ICON;
    m_data.tip = std::string(tip.substr(0, MAX_TIP_LENGTH));
    m_host.AddIcon(m_data);
    m_iconAdded = true;
}

void CTrayIcon::RemoveIcon() {
    m_host.DeleteIcon(m_data);
    m_iconAdded = false;
}

void CTrayIcon::OnTaskbarCreated() {
    // A restarted shell has forgotten every icon; without ours the menu and Exit are gone.
    if (m_iconAdded) m_host.AddIcon(m_data);
}

void CTrayIcon::SetMuteLabel(bool muted) {
    m_host.ModifyMenuItem(ID_MUTE, muted ? MENU_TEXT_UNMUTE : MENU_TEXT_MUTE);
}

void CTrayIcon::SetState(std::string_view tip, bool muted) {
    const unsigned icon = muted ? IDR_MUTED_ICON : IDR_MAINFRAME_ICON;
    tip = tip.substr(0, MAX_TIP_LENGTH);
    if (tip == m_data.tip && icon == m_data.iconResource) return;
    m_data.tip = std::string(tip);
    m_data.iconResource = icon;
    // Before the icon is added (or after it is removed) the data waits for the next AddIcon.
    if (m_iconAdded) m_host.ModifyIcon(m_data);
}

int CTrayIcon::OnTrayNotification(uintptr_t /*wParam*/, uintptr_t lParam) {
    const unsigned mouseMessage = static_cast<unsigned>(lParam & 0xFFFF);
    if (mouseMessage == MOUSE_RBUTTONUP) {
        if (MenuRefused()) return 0;
        const ScreenPoint at = m_host.GetCursorPos();
        m_mainWindow.SetForeground();
        m_host.SetMenuDefaultItem(ID_AUTO_SHUTDOWN);
        m_host.TrackPopupMenu(MENU_TPM_LEFTALIGN_RIGHTBUTTON, at);
        m_mainWindow.PostNull();
    } else if (mouseMessage == MOUSE_LBUTTONDBLCLK) {
        m_mainWindow.SetForeground();
        m_mainWindow.SendCommand(ID_MUTE);
    }
    return 0;
}

}  // namespace hvx
