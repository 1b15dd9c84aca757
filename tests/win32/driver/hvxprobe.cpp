// hvxprobe.dll: hvxdrive hooks it into HVX's thread (WH_GETMESSAGE) to learn when that thread
// takes a marker from its queue, in its main loop or in the modal loop of a menu or dialog alike:
// everything posted before the marker has then been handled, or has started that modal loop.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK SyncHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT marker = RegisterWindowMessageW(L"HVXDriveSync");
    HANDLE taken = nullptr;
    if (code == HC_ACTION && reinterpret_cast<const MSG*>(lParam)->message == marker &&
        (taken = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\HVXDriveSync")))
        SetEvent(taken), CloseHandle(taken);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace {

WNDPROC g_trayProc = nullptr;

// Wine's shell32 sends each icon's data as WM_COPYDATA; the tip is the one text in it that starts
// "HVX". It goes to the driver's shared memory.
LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* data =
        message == WM_COPYDATA ? reinterpret_cast<const COPYDATASTRUCT*>(lParam) : nullptr;
    HANDLE shared = data && data->lpData
                        ? OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"Local\\HVXDriveTip")
                        : nullptr;
    auto* tip =
        shared ? static_cast<wchar_t*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    if (tip != nullptr) {
        const auto* text = static_cast<const wchar_t*>(data->lpData);
        const size_t length = data->cbData / sizeof(wchar_t);
        for (size_t i = 0; i + 3 <= length; ++i) {
            if (text[i] != L'H' || text[i + 1] != L'V' || text[i + 2] != L'X') continue;
            size_t n = 0;
            for (; n < 127 && i + n < length && text[i + n] != L'\0'; ++n) tip[n] = text[i + n];
            tip[n] = L'\0';
            break;
        }
        UnmapViewOfFile(tip);
    }
    if (shared) CloseHandle(shared);
    return CallWindowProcW(g_trayProc, hwnd, message, wParam, lParam);
}

}  // namespace

// hvxdrive hooks this into the notification area's thread (WH_CALLWNDPROC), where it subclasses
// the notification area's window once: a hook is given the sender's own pointers for a message
// from another process, the window procedure the data itself. Pinned, as the subclass outlives
// the hook.
extern "C" __declspec(dllexport) LRESULT CALLBACK TipHook(int code, WPARAM wParam, LPARAM lParam) {
    HMODULE self = nullptr;
    if (code == HC_ACTION && g_trayProc == nullptr &&
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&TrayProc), &self))
        g_trayProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FindWindowW(L"Shell_TrayWnd", nullptr), GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(&TrayProc)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
