// The volume indicator: a small topmost window at the bottom right of the work area (beside the
// notification area) with the master level as text and a bar, in the system's colours, scaled to
// the monitor's DPI. It never activates, so the focus and the keys stay where they were, and it
// hides itself after a second and a half.
#pragma once

#include <windows.h>

#include <string>

#include "platform/VolumeIndicator.h"

namespace hvx::win32 {

class Win32VolumeIndicator final : public IVolumeIndicator {
  public:
    // Its class, for tools that look the window up; the window's text is what it shows.
    static constexpr const wchar_t* kClassName = L"HVXVolumeIndicator";
    static constexpr UINT kShowMs = 1500;

    Win32VolumeIndicator() = default;
    ~Win32VolumeIndicator() override;
    Win32VolumeIndicator(const Win32VolumeIndicator&) = delete;
    Win32VolumeIndicator& operator=(const Win32VolumeIndicator&) = delete;

    void Show(int percent, bool muted) override;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Create();
    void Place();
    void Paint(HDC dc);

    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
    UINT m_fontDpi = 0;
    int m_percent = 0;
    bool m_muted = false;
};

}  // namespace hvx::win32
