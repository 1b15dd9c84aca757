// The hidden top-level main window: timers, hotkeys and menu commands arrive here.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/MainWindow.h"

namespace hvx::win32 {

class Win32MainWindow final : public IMainWindow {
  public:
    // The window class, for tools that look the window up (its title is "SystemTray").
    static constexpr const wchar_t* kClassName = L"HVXMainWnd";

    Win32MainWindow() = default;
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    bool Create(std::string_view title, IMainWindowHandler& handler) override;
    void Destroy() override;
    bool SetTimer(unsigned timerId, unsigned periodMs) override;
    bool KillTimer(unsigned timerId) override;
    bool RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) override;
    bool UnregisterHotKey(int hotkeyId) override;
    void MessageBeep(uint32_t type) override;
    void SetForeground() override;
    void SendCommand(int commandId) override;
    void PostNull() override;

    // Null before Create and after the window is destroyed. Set before OnCreate runs.
    HWND Hwnd() const { return m_hwnd; }
    // Runs on MM_MIXM_LINE_CHANGE before the handler hears of the change.
    void OnMixerLineChange(std::function<void()> follow) { m_mixerLineChange = std::move(follow); }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    IMainWindowHandler* m_handler = nullptr;
    std::function<void()> m_mixerLineChange;
};

}  // namespace hvx::win32
