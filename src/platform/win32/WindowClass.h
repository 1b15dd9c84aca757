// Window classes for HVX's own windows, which are never seen: no class style, cursor, brush or
// icon.
#pragma once

#include <windows.h>

namespace hvx::win32 {

// Registers the class once per process; true when it exists afterwards.
inline bool RegisterHiddenWindowClass(const wchar_t* name, WNDPROC windowProc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace hvx::win32
