// hvxprobe.dll: loaded into HVX's process by the hooks that hvxdrive sets on its thread.
// ProbeMenuHook (WH_CALLWNDPROC): when the menu window receives the probe message it reads the
// menu's items (ids, texts, flags, screen rectangles) into the shared mapping.
// SyncHook (WH_GETMESSAGE): signals hvxdrive when the thread takes the sync message.
#include <windows.h>

#include "MenuProbe.h"

using hvxdrive::ProbeResult;

namespace {

constexpr UINT kMnGetHMenu = 0x01E1;

void FillResult(HWND menuWindow, ProbeResult& result) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kMnGetHMenu, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : -1;
    result.count = count;
    result.defaultId = menu ? GetMenuDefaultItem(menu, FALSE, 0) : static_cast<UINT>(-1);
    const int kept = count < 0 ? 0 : (count < 64 ? count : 64);
    for (int pos = 0; pos < kept; ++pos) {
        hvxdrive::ProbeItem& item = result.items[pos];
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = sizeof item.text / sizeof item.text[0];
        item.text[0] = L'\0';
        if (GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) {
            item.id = info.wID;
            item.type = info.fType;
            item.state = info.fState;
        }
        if (!GetMenuItemRect(menuWindow, menu, static_cast<UINT>(pos), &item.rect))
            SetRectEmpty(&item.rect);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeMenuHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageW(hvxdrive::kProbeMessageName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call && call->message == probeMessage) {
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, hvxdrive::kProbeMappingName);
        if (mapping) {
            auto* result = static_cast<ProbeResult*>(
                MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeResult)));
            if (result) {
                FillResult(call->hwnd, *result);
                InterlockedExchange(&result->done, 1);
                UnmapViewOfFile(result);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// WH_GETMESSAGE: sees every message HVX's thread takes from its queue, in its main loop and in the
// modal loops of menus and dialogs alike.
extern "C" __declspec(dllexport) LRESULT CALLBACK SyncHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT syncMessage = RegisterWindowMessageW(hvxdrive::kSyncMessageName);
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    // Seen at all, removed or only looked at: the thread is past everything posted before it.
    if (code == HC_ACTION && message && message->message == syncMessage) {
        if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, hvxdrive::kSyncEventName)) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
