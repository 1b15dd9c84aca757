// The notification-area icon, its hidden message window and the popup menu.
#pragma once

#include <windows.h>

#include "platform/TrayHost.h"
#include "platform/win32/Win32MainWindow.h"

namespace hvx::win32 {

class Win32TrayHost final : public ITrayHost {
  public:
    // The class of the hidden window that receives the icon's messages (no title), so tools can
    // find it with FindWindowW(kClassName, nullptr).
    static constexpr const wchar_t* kClassName = L"HVXTrayWnd";

    // Menu commands go to owner's window.
    explicit Win32TrayHost(const Win32MainWindow& owner) : m_owner(owner) {}
    ~Win32TrayHost() override;
    Win32TrayHost(const Win32TrayHost&) = delete;
    Win32TrayHost& operator=(const Win32TrayHost&) = delete;

    bool CreateMessageWindow(ITrayHandler& handler) override;
    bool AddIcon(const NotifyIconData& data) override;
    bool DeleteIcon(const NotifyIconData& data) override;
    bool ModifyIcon(const NotifyIconData& data) override;
    bool CreatePopupMenu() override;
    bool AppendMenuItem(int id, std::string_view text) override;
    bool AppendMenuSeparator() override;
    bool ModifyMenuItem(int id, std::string_view text) override;
    bool SetMenuDefaultItem(int id) override;
    bool TrackPopupMenu(unsigned flags, ScreenPoint at) override;
    ScreenPoint GetCursorPos() override;

    HWND Hwnd() const { return m_hwnd; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool NotifyIcon(DWORD operation, const NotifyIconData& data);

    const Win32MainWindow& m_owner;
    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
    ITrayHandler* m_handler = nullptr;
    HICON m_icon = nullptr;
    unsigned m_iconResource = 0;
    UINT m_callbackMessage = 0;  // known once the icon is added
    UINT m_taskbarCreated = 0;   // broadcast when the shell (re)creates the notification area
};

}  // namespace hvx::win32
