#include "platform/win32/Win32MainWindow.h"

#include <mmsystem.h>

#include "platform/win32/WideString.h"
#include "platform/win32/WindowClass.h"

namespace hvx::win32 {

Win32MainWindow::~Win32MainWindow() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

bool Win32MainWindow::Create(std::string_view title, IMainWindowHandler& handler) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(kClassName, &Win32MainWindow::WindowProc)) return false;

    m_handler = &handler;
    // Never shown: WS_OVERLAPPEDWINDOW without WS_VISIBLE. OnCreate runs inside this call.
    CreateWindowExW(0, kClassName, Widen(title).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return m_hwnd != nullptr;
}

void Win32MainWindow::Destroy() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
}

bool Win32MainWindow::SetTimer(unsigned timerId, unsigned periodMs) {
    return ::SetTimer(m_hwnd, timerId, periodMs, nullptr) != 0;
}

bool Win32MainWindow::KillTimer(unsigned timerId) {
    return ::KillTimer(m_hwnd, timerId) != FALSE;
}

bool Win32MainWindow::RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) {
    return ::RegisterHotKey(m_hwnd, hotkeyId, modifiers, key) != FALSE;
}

bool Win32MainWindow::UnregisterHotKey(int hotkeyId) {
    return ::UnregisterHotKey(m_hwnd, hotkeyId) != FALSE;
}

void Win32MainWindow::MessageBeep(uint32_t type) {
    ::MessageBeep(type);
}

void Win32MainWindow::SetForeground() {
    SetForegroundWindow(m_hwnd);
}

void Win32MainWindow::SendCommand(int commandId) {
    SendMessageW(m_hwnd, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
}

void Win32MainWindow::PostNull() {
    PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    Win32MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self =
            static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        // OnCreate already uses the handle (timers), before CreateWindowExW has returned it.
        self->m_hwnd = hwnd;
    } else {
        self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr || self->m_handler == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    IMainWindowHandler& handler = *self->m_handler;
    switch (message) {
        case WM_CREATE:
            return handler.OnCreate();
        case WM_TIMER:
            handler.OnTimer(static_cast<unsigned>(wParam));
            return 0;
        case WM_COMMAND:
            handler.OnCommand(LOWORD(wParam));
            return 0;
        case WM_HOTKEY:
            return handler.OnHotKey(static_cast<int>(wParam));
        case MM_MIXM_LINE_CHANGE:  // another default device
            if (self->m_mixerLineChange) self->m_mixerLineChange();
            handler.OnMixerChange();
            return 0;
        case MM_MIXM_CONTROL_CHANGE:
            handler.OnMixerChange();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            self->m_hwnd = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace hvx::win32
