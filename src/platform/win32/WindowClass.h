// Window classes for HVX's own windows: no class style, brush or icon, and a cursor only for
// one that is ever seen.
#pragma once

#include <windows.h>

namespace hvx::win32 {

// Registers the class once per process; true when it exists afterwards.
inline bool RegisterWindowClass(const wchar_t* name, WNDPROC windowProc, HCURSOR cursor = nullptr) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace hvx::win32
