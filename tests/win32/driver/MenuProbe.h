// What hvxprobe.dll, hooked into HVX's thread by hvxdrive, hands back.
//
// Menu: a popup menu's items can only be read in the process that owns the menu, so the probe
// reads them there and leaves them in a named mapping shared by both processes.
// Sync: the probe signals a named event when HVX's thread takes the sync message from its queue;
// every message posted before it has then been handled (or has started a modal loop).
#pragma once

#include <windows.h>

namespace hvxdrive {

inline constexpr const wchar_t* kProbeMessageName = L"HVXDriveProbeMenu";
inline constexpr const wchar_t* kProbeMappingName = L"Local\\HVXDriveProbeMenu";
inline constexpr const char* kProbeHookExport = "ProbeMenuHook";
inline constexpr const wchar_t* kSyncMessageName = L"HVXDriveSync";
inline constexpr const wchar_t* kSyncEventName = L"Local\\HVXDriveSync";
inline constexpr const char* kSyncHookExport = "SyncHook";

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
