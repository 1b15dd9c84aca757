#include "platform/win32/Win32VolumeIndicator.h"

#include <algorithm>

#include "platform/win32/WindowClass.h"

namespace hvx::win32 {

namespace {

constexpr UINT_PTR kHideTimer = 1;
// The size at 96 DPI, scaled to the monitor's.
constexpr int kWidth = 200;
constexpr int kHeight = 56;
constexpr int kMargin = 12;
constexpr int kBarHeight = 8;

// The window's DPI where the system can say it (Windows 10 1607 on), else the screen's.
UINT DpiOf(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi != nullptr) {
        if (const UINT dpi = getDpi(hwnd); dpi != 0) return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int Scale(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

}  // namespace

Win32VolumeIndicator::~Win32VolumeIndicator() {
    if (m_hwnd != nullptr) DestroyWindow(m_hwnd);
    if (m_font != nullptr) DeleteObject(m_font);
}

bool Win32VolumeIndicator::Create() {
    if (!RegisterWindowClass(kClassName, &Win32VolumeIndicator::WindowProc,
                             LoadCursorW(nullptr, IDC_ARROW)))
        return false;
    // No taskbar button, above every normal window, never the active window.
    m_hwnd = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"",
                             WS_POPUP | WS_BORDER, 0, 0, kWidth, kHeight, nullptr, nullptr,
                             GetModuleHandleW(nullptr), this);
    return m_hwnd != nullptr;
}

void Win32VolumeIndicator::Show(int percent, bool muted) {
    if (m_hwnd == nullptr && !Create()) return;
    m_percent = percent;
    m_muted = muted;
    // The text is also the window's, for screen readers and tools.
    const std::wstring text =
        L"Volume " + std::to_wstring(percent) + L"%" + (muted ? L", muted" : L"");
    SetWindowTextW(m_hwnd, text.c_str());
    Place();
    InvalidateRect(m_hwnd, nullptr, TRUE);
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    // A press while it shows keeps the one window up for the full time again.
    SetTimer(m_hwnd, kHideTimer, kShowMs, nullptr);
}

void Win32VolumeIndicator::Place() {
    // The monitor of the notification area: the taskbar's, else the primary one.
    const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    const HMONITOR monitor = taskbar != nullptr
                                 ? MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY)
                                 : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT work{};
    if (GetMonitorInfoW(monitor, &info))
        work = info.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Placed first on that monitor, so the DPI asked next is the monitor's.
    SetWindowPos(m_hwnd, HWND_TOPMOST, work.right - kWidth, work.bottom - kHeight, kWidth, kHeight,
                 SWP_NOACTIVATE);
    const UINT dpi = DpiOf(m_hwnd);
    const int width = Scale(kWidth, dpi), height = Scale(kHeight, dpi);
    const int margin = Scale(kMargin, dpi);
    SetWindowPos(m_hwnd, HWND_TOPMOST, work.right - width - margin, work.bottom - height - margin,
                 width, height, SWP_NOACTIVATE);
    if (m_font == nullptr || m_fontDpi != dpi) {
        if (m_font != nullptr) DeleteObject(m_font);
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        // The message font at this DPI (its height is given for the system's DPI).
        LOGFONTW font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight != 0 ? font.lfHeight : -12, static_cast<int>(dpi),
                               static_cast<int>(DpiOf(nullptr)));
        m_font = CreateFontIndirectW(&font);
        m_fontDpi = dpi;
    }
}

void Win32VolumeIndicator::Paint(HDC dc) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const UINT dpi = DpiOf(m_hwnd);
    const int margin = Scale(kMargin, dpi);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));

    wchar_t text[64] = L"";
    GetWindowTextW(m_hwnd, text, 64);
    const HGDIOBJ oldFont =
        SelectObject(dc, m_font != nullptr ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT textRect{client.left + margin, client.top + margin / 2, client.right - margin,
                  client.bottom - margin - Scale(kBarHeight, dpi)};
    DrawTextW(dc, text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);

    // The bar: its frame in the text colour, the level in the highlight colour (grey when muted);
    // a level above 100% fills it.
    RECT bar{client.left + margin, client.bottom - margin - Scale(kBarHeight, dpi),
             client.right - margin, client.bottom - margin};
    FrameRect(dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
    InflateRect(&bar, -1, -1);
    bar.right = bar.left + MulDiv(bar.right - bar.left, std::clamp(m_percent, 0, 100), 100);
    FillRect(dc, &bar, GetSysColorBrush(m_muted ? COLOR_GRAYTEXT : COLOR_HIGHLIGHT));
}

LRESULT CALLBACK Win32VolumeIndicator::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    auto* self = reinterpret_cast<Win32VolumeIndicator*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // a click on it must not take the focus either
        case WM_TIMER:
            if (wParam == kHideTimer) {
                KillTimer(hwnd, kHideTimer);
                ShowWindow(hwnd, SW_HIDE);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT:
            if (self != nullptr) {
                PAINTSTRUCT ps;
                const HDC dc = BeginPaint(hwnd, &ps);
                self->Paint(dc);
                EndPaint(hwnd, &ps);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            if (self != nullptr) self->Place();
            return 0;
        case WM_NCDESTROY:
            if (self != nullptr) self->m_hwnd = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace hvx::win32
