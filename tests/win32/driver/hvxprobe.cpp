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
