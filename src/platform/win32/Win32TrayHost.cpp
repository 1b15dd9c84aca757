#include "platform/win32/Win32TrayHost.h"

#include <shellapi.h>

#include "platform/win32/WideString.h"
#include "platform/win32/WindowClass.h"

namespace hvx::win32 {

Win32TrayHost::~Win32TrayHost() {
    if (m_menu != nullptr) DestroyMenu(m_menu);
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

bool Win32TrayHost::CreateMessageWindow(ITrayHandler& handler) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(kClassName, &Win32TrayHost::WindowProc)) return false;

    m_handler = &handler;
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // A hidden top-level popup rather than a message-only window: only top-level windows hear
    // the TaskbarCreated broadcast.
    m_hwnd = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                             this);
    if (m_hwnd == nullptr) return false;
    // An elevated process would otherwise never hear from a restarted shell.
    if (m_taskbarCreated != 0)
        ChangeWindowMessageFilterEx(m_hwnd, m_taskbarCreated, MSGFLT_ALLOW, nullptr);
    return true;
}

bool Win32TrayHost::NotifyIcon(DWORD operation, const NotifyIconData& data) {
    if (m_icon == nullptr || m_iconResource != data.iconResource) {
        // Straight to the small size from the one large image; shared, so never destroyed.
        m_icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(data.iconResource), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        m_iconResource = data.iconResource;
    }

    NOTIFYICONDATAW nid{};
    // The Windows 2000 layout: the first one with a 128-character tip, and every system since
    // knows it. The later fields (balloons, a GUID) stay unused.
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = m_hwnd;
    nid.uID = data.id;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = data.callbackMessage;
    nid.hIcon = m_icon;
    std::wstring tip = Widen(data.tip);
    constexpr size_t kMaxTip = 127;
    if (tip.size() > kMaxTip) {
        tip.resize(kMaxTip);
        if (IS_HIGH_SURROGATE(tip.back())) tip.pop_back();
    }
    tip.copy(nid.szTip, tip.size());
    return Shell_NotifyIconW(operation, &nid) != FALSE;
}

bool Win32TrayHost::AddIcon(const NotifyIconData& data) {
    m_callbackMessage = data.callbackMessage;
    return NotifyIcon(NIM_ADD, data);
}

bool Win32TrayHost::DeleteIcon(const NotifyIconData& data) {
    return NotifyIcon(NIM_DELETE, data);
}

bool Win32TrayHost::ModifyIcon(const NotifyIconData& data) {
    return NotifyIcon(NIM_MODIFY, data);
}

bool Win32TrayHost::CreatePopupMenu() {
    if (m_menu != nullptr) DestroyMenu(m_menu);
    m_menu = ::CreatePopupMenu();
    return m_menu != nullptr;
}

bool Win32TrayHost::AppendMenuItem(int id, std::string_view text) {
    return AppendMenuW(m_menu, MF_STRING, static_cast<UINT_PTR>(id), Widen(text).c_str()) != FALSE;
}

bool Win32TrayHost::AppendMenuSeparator() {
    return AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr) != FALSE;
}

bool Win32TrayHost::ModifyMenuItem(int id, std::string_view text) {
    return ModifyMenuW(m_menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING,
                       static_cast<UINT_PTR>(id), Widen(text).c_str()) != FALSE;
}

bool Win32TrayHost::SetMenuDefaultItem(int id) {
    return ::SetMenuDefaultItem(m_menu, static_cast<UINT>(id), FALSE) != FALSE;
}

bool Win32TrayHost::TrackPopupMenu(unsigned flags, ScreenPoint at) {
    return ::TrackPopupMenu(m_menu, flags, at.x, at.y, 0, m_owner.Hwnd(), nullptr) != FALSE;
}

ScreenPoint Win32TrayHost::GetCursorPos() {
    POINT point{};
    ::GetCursorPos(&point);
    return {static_cast<int>(point.x), static_cast<int>(point.y)};
}

LRESULT CALLBACK Win32TrayHost::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32TrayHost* self = nullptr;
    if (message == WM_NCCREATE) {
        self =
            static_cast<Win32TrayHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Win32TrayHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self != nullptr && self->m_handler != nullptr) {
        if (self->m_callbackMessage != 0 && message == self->m_callbackMessage)
            return self->m_handler->OnTrayNotification(static_cast<uintptr_t>(wParam),
                                                       static_cast<uintptr_t>(lParam));
        if (self->m_taskbarCreated != 0 && message == self->m_taskbarCreated) {
            self->m_handler->OnTaskbarCreated();
            return 0;
        }
        if (message == WM_NCDESTROY) {
            self->m_hwnd = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace hvx::win32
