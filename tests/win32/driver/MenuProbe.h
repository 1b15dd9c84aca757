// What the menu probe hands back from inside the process that shows a popup menu. A popup menu's
// items can only be read in the process that owns the menu, so hvxdrive hooks the menu window's
// thread with hvxprobe.dll and reads the result from a named mapping shared by both processes.
#pragma once

#include <windows.h>

namespace hvxdrive {

inline constexpr const wchar_t* kProbeMessageName = L"HVXDriveProbeMenu";
inline constexpr const wchar_t* kProbeMappingName = L"Local\\HVXDriveProbeMenu";
inline constexpr const char* kProbeHookExport = "ProbeMenuHook";

struct ProbeItem {
    UINT id;
    UINT type;   // MFT_* flags
    UINT state;  // MFS_* flags
    RECT rect;   // screen coordinates
    wchar_t text[128];
};

struct ProbeResult {
    LONG done;  // set last, after everything else is filled in
    int count;  // -1 when the window gave no menu
    UINT defaultId;
    ProbeItem items[64];
};

}  // namespace hvxdrive
