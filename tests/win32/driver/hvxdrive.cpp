// hvxdrive.exe: drives a running HVX.exe from inside the same Wine prefix, the way a user and the
// system would: window messages to the hidden windows, real keyboard and mouse input, dialog
// controls, the registry. One subcommand per run, or several separated by ";" arguments (each
// run of wine costs more than most steps); see Usage().
//
// Exit codes: 0 done (or condition true), 1 condition false / not found / timed out,
// 2 usage error.
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <mmsystem.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "MenuProbe.h"

namespace {

constexpr int kOk = 0;
constexpr int kFalse = 1;
constexpr int kUsage = 2;

constexpr const wchar_t* kMainTitle = L"SystemTray";
constexpr const wchar_t* kMainClass = L"HVXMainWnd";
constexpr const wchar_t* kTrayClass = L"HVXTrayWnd";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr const wchar_t* kMenuClass = L"#32768";
constexpr const wchar_t* kSettingsKey = L"Software\\Tessaron\\HVX";
constexpr UINT kTrayNotify = WM_USER + 15;
constexpr UINT kTrayIconId = 101;
constexpr DWORD kDefaultTimeoutMs = 5000;

// ---- output -------------------------------------------------------------------------------

void Print(const std::wstring& text) {
    std::wstring line = text + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size,
                        nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

int Fail(const std::wstring& text) {
    Print(text);
    return kFalse;
}

std::wstring Hex(uintptr_t value) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(value));
    return buffer;
}

// ---- arguments ----------------------------------------------------------------------------

bool ParseNumber(const std::wstring& text, long long& value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    value = wcstoll(text.c_str(), &end, 0);
    return end && *end == L'\0';
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

struct Args {
    std::vector<std::wstring> list;
    size_t size() const { return list.size(); }
    const std::wstring& operator[](size_t i) const { return list[i]; }
    bool Number(size_t i, long long& value) const {
        return i < list.size() && ParseNumber(list[i], value);
    }
    DWORD Timeout(size_t i) const {
        long long value = 0;
        return Number(i, value) && value >= 0 ? static_cast<DWORD>(value) : kDefaultTimeoutMs;
    }
};

// ---- waiting ------------------------------------------------------------------------------

template <typename Condition>
bool WaitFor(DWORD timeoutMs, Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

// ---- windows ------------------------------------------------------------------------------

HWND FindMain() {
    return FindWindowW(kMainClass, kMainTitle);
}

HWND FindTray() {
    return FindWindowW(kTrayClass, nullptr);
}

// Top-level windows titled like the main window, whatever their class.
int CountTitled(const wchar_t* title) {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, title)) != nullptr) ++count;
    return count;
}

HWND FindMenuWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kMenuClass, nullptr)) != nullptr)
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

HWND FindDialog(const std::wstring& caption) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kDialogClass, caption.c_str())) != nullptr)
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

struct Control {
    HWND dialog = nullptr;
    HWND control = nullptr;
    int id = 0;
};

// Resolves CAPTION ID; prints why when it cannot.
bool FindControl(const Args& args, size_t at, Control& out) {
    long long id = 0;
    if (at + 1 >= args.size() || !args.Number(at + 1, id)) return false;
    out.id = static_cast<int>(id);
    out.dialog = FindDialog(args[at]);
    if (!out.dialog) {
        Print(L"no dialog \"" + args[at] + L"\"");
        return false;
    }
    out.control = GetDlgItem(out.dialog, out.id);
    if (!out.control) {
        Print(L"no control " + std::to_wstring(out.id) + L" in \"" + args[at] + L"\"");
        return false;
    }
    return true;
}

// Every message to HVX's windows goes through here, so a hung program cannot hang the driver.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
             DWORD timeoutMs = 2000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = L"";
    // WM_GETTEXT is marshalled across processes; GetWindowText would not ask the control.
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                        reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

// ---- keyboard and mouse -------------------------------------------------------------------

struct KeyName {
    const wchar_t* name;
    WORD vk;
    bool extended;
};

constexpr KeyName kKeys[] = {
    {L"ctrl", VK_CONTROL, false},  {L"control", VK_CONTROL, false}, {L"alt", VK_MENU, false},
    {L"shift", VK_SHIFT, false},   {L"win", VK_LWIN, true},         {L"up", VK_UP, true},
    {L"down", VK_DOWN, true},      {L"left", VK_LEFT, true},        {L"right", VK_RIGHT, true},
    {L"enter", VK_RETURN, false},  {L"return", VK_RETURN, false},   {L"esc", VK_ESCAPE, false},
    {L"escape", VK_ESCAPE, false}, {L"tab", VK_TAB, false},         {L"space", VK_SPACE, false},
    {L"home", VK_HOME, true},      {L"end", VK_END, true},          {L"delete", VK_DELETE, true},
    {L"backspace", VK_BACK, false}};

bool ParseKey(const std::wstring& name, WORD& vk, bool& extended) {
    const std::wstring lower = Lower(name);
    for (const KeyName& key : kKeys) {
        if (lower == key.name) {
            vk = key.vk;
            extended = key.extended;
            return true;
        }
    }
    extended = false;
    if (lower.size() == 1 &&
        ((lower[0] >= L'a' && lower[0] <= L'z') || (lower[0] >= L'0' && lower[0] <= L'9'))) {
        vk = static_cast<WORD>(towupper(lower[0]));
        return true;
    }
    if (lower.size() >= 2 && lower[0] == L'f') {
        long long n = 0;
        if (ParseNumber(lower.substr(1), n) && n >= 1 && n <= 12) {
            vk = static_cast<WORD>(VK_F1 + n - 1);
            return true;
        }
    }
    long long number = 0;
    if (ParseNumber(lower, number) && number > 0 && number < 256) {
        vk = static_cast<WORD>(number);
        return true;
    }
    return false;
}

INPUT KeyInput(WORD vk, bool extended, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// "ctrl+alt+r": press every key in order, release them in reverse.
bool SendCombination(const std::wstring& combination) {
    std::vector<std::pair<WORD, bool>> keys;
    size_t start = 0;
    while (start <= combination.size()) {
        size_t plus = combination.find(L'+', start);
        if (plus == start && plus != std::wstring::npos) plus = combination.find(L'+', plus + 1);
        const std::wstring name = combination.substr(
            start, plus == std::wstring::npos ? std::wstring::npos : plus - start);
        WORD vk = 0;
        bool extended = false;
        if (!ParseKey(name, vk, extended)) {
            Print(L"unknown key \"" + name + L"\"");
            return false;
        }
        keys.emplace_back(vk, extended);
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (const auto& [vk, extended] : keys) inputs.push_back(KeyInput(vk, extended, false));
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        inputs.push_back(KeyInput(it->first, it->second, true));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool ClickAt(POINT at, bool right) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = MulDiv(at.x, 65535, width > 1 ? width - 1 : 1);
    inputs[0].mi.dy = MulDiv(at.y, 65535, height > 1 ? height - 1 : 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[2].type = INPUT_MOUSE;
    inputs[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    if (SendInput(1, &inputs[0], sizeof(INPUT)) != 1) return false;
    Sleep(50);
    return SendInput(2, &inputs[1], sizeof(INPUT)) == 2;
}

// ---- the popup menu -----------------------------------------------------------------------

HMODULE LoadProbe() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, length);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"hvxprobe.dll";
    HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) Print(L"cannot load " + dll);
    return module;
}

// Reads the visible popup menu from inside its owner's process (see MenuProbe.h).
bool ProbeMenu(HWND menuWindow, hvxdrive::ProbeResult& out) {
    HMODULE module = LoadProbe();
    if (!module) return false;
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, hvxdrive::kProbeHookExport)));
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(hvxdrive::ProbeResult), hvxdrive::kProbeMappingName);
    auto* shared = mapping ? static_cast<hvxdrive::ProbeResult*>(MapViewOfFile(
                                 mapping, FILE_MAP_WRITE, 0, 0, sizeof(hvxdrive::ProbeResult)))
                           : nullptr;
    bool ok = false;
    if (hook && shared) {
        ZeroMemory(shared, sizeof *shared);
        const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
        HHOOK installed = SetWindowsHookExW(WH_CALLWNDPROC, hook, module, thread);
        if (installed) {
            const UINT message = RegisterWindowMessageW(hvxdrive::kProbeMessageName);
            SendMessageTimeoutW(menuWindow, message, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
            ok = WaitFor(1000, [&] { return InterlockedCompareExchange(&shared->done, 0, 0); });
            if (ok) out = *shared;
            UnhookWindowsHookEx(installed);
        } else {
            Print(L"SetWindowsHookEx failed " + std::to_wstring(GetLastError()));
        }
    }
    if (shared) UnmapViewOfFile(shared);
    if (mapping) CloseHandle(mapping);
    FreeLibrary(module);
    if (!ok) Print(L"menu probe gave no answer");
    return ok;
}

// Posts a marker behind everything already posted to the thread of `window` and waits until the
// thread takes it from its queue (or its process ends): the messages before it have been handled,
// or one of them runs a modal loop (menu, dialog) that took the marker.
bool SyncWith(HWND window, DWORD timeoutMs) {
    DWORD processId = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &processId);
    if (!thread) return true;  // the window is gone already
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, hvxdrive::kSyncEventName);
    HMODULE module = LoadProbe();
    auto hook = module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                             GetProcAddress(module, hvxdrive::kSyncHookExport)))
                       : nullptr;
    bool done = false;
    if (process && event && hook) {
        ResetEvent(event);
        if (HHOOK installed = SetWindowsHookExW(WH_GETMESSAGE, hook, module, thread)) {
            // A thread message: it outlives the window, should a posted command destroy it.
            PostThreadMessageW(thread, RegisterWindowMessageW(hvxdrive::kSyncMessageName), 0, 0);
            const HANDLE handles[] = {event, process};
            done = WaitForMultipleObjects(2, handles, FALSE, timeoutMs) != WAIT_TIMEOUT;
            UnhookWindowsHookEx(installed);
        }
    }
    if (module) FreeLibrary(module);
    if (event) CloseHandle(event);
    if (process) CloseHandle(process);
    return done;
}

bool WaitMenu(DWORD timeoutMs, HWND& menuWindow) {
    return WaitFor(timeoutMs, [&] { return (menuWindow = FindMenuWindow()) != nullptr; });
}

int MenuItems(const Args& args, bool defaultOnly) {
    HWND menuWindow = nullptr;
    if (!WaitMenu(args.Timeout(1), menuWindow)) return Fail(L"no menu");
    static hvxdrive::ProbeResult result;
    if (!ProbeMenu(menuWindow, result)) return kFalse;
    if (result.count < 0) return Fail(L"no menu handle");
    if (defaultOnly) {
        Print(std::to_wstring(static_cast<int>(result.defaultId)));
        return kOk;
    }
    for (int i = 0; i < result.count && i < 64; ++i) {
        const hvxdrive::ProbeItem& item = result.items[i];
        if (item.type & MFT_SEPARATOR)
            Print(L"-");
        else
            Print(std::to_wstring(item.id) + L" " + item.text);
    }
    return kOk;
}

int MenuPick(const Args& args) {
    long long id = 0;
    if (!args.Number(1, id)) return kUsage;
    HWND menuWindow = nullptr;
    if (!WaitMenu(args.Timeout(2), menuWindow)) return Fail(L"no menu");
    static hvxdrive::ProbeResult result;
    if (!ProbeMenu(menuWindow, result)) return kFalse;
    for (int i = 0; i < result.count && i < 64; ++i) {
        const hvxdrive::ProbeItem& item = result.items[i];
        if ((item.type & MFT_SEPARATOR) || item.id != static_cast<UINT>(id)) continue;
        if (IsRectEmpty(&item.rect)) return Fail(L"item has no rectangle");
        const POINT centre{(item.rect.left + item.rect.right) / 2,
                           (item.rect.top + item.rect.bottom) / 2};
        if (!ClickAt(centre, false)) return Fail(L"SendInput failed");
        if (!WaitFor(args.Timeout(2), [] { return FindMenuWindow() == nullptr; }))
            return Fail(L"menu still open");
        return kOk;
    }
    return Fail(L"no item " + std::to_wstring(id));
}

int MenuClose(const Args& args) {
    HWND menuWindow = nullptr;
    if (!WaitMenu(args.Timeout(2), menuWindow)) return Fail(L"no menu");
    const std::wstring how = args.size() > 1 ? Lower(args[1]) : L"escape";
    if (how == L"outside") {
        RECT rect{};
        GetWindowRect(menuWindow, &rect);
        const int width = GetSystemMetrics(SM_CXSCREEN);
        // Click beside the menu, on whichever side has room.
        POINT at{rect.right + 20 < width ? rect.right + 20 : rect.left - 20, rect.top + 5};
        if (!ClickAt(at, false)) return Fail(L"SendInput failed");
    } else if (!SendCombination(L"escape")) {
        return Fail(L"SendInput failed");
    }
    if (!WaitFor(args.Timeout(2), [] { return FindMenuWindow() == nullptr; }))
        return Fail(L"menu still open");
    return kOk;
}

// ---- hotkeys ------------------------------------------------------------------------------

bool ParseModifiers(const std::wstring& text, UINT& modifiers) {
    long long number = 0;
    if (ParseNumber(text, number)) {
        modifiers = static_cast<UINT>(number);
        return true;
    }
    modifiers = 0;
    size_t start = 0;
    const std::wstring lower = Lower(text);
    while (start <= lower.size()) {
        const size_t plus = lower.find(L'+', start);
        const std::wstring name =
            lower.substr(start, plus == std::wstring::npos ? plus : plus - start);
        if (name == L"ctrl" || name == L"control")
            modifiers |= MOD_CONTROL;
        else if (name == L"alt")
            modifiers |= MOD_ALT;
        else if (name == L"shift")
            modifiers |= MOD_SHIFT;
        else if (name == L"win")
            modifiers |= MOD_WIN;
        else if (!name.empty() && name != L"none")
            return false;
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    return true;
}

struct HotKeyEntry {
    int id;
    UINT modifiers;
    UINT vk;
};

constexpr HotKeyEntry kHotKeys[] = {
    {100, MOD_CONTROL, VK_UP},         {200, MOD_CONTROL, VK_DOWN},
    {300, MOD_CONTROL, VK_RIGHT},      {400, MOD_CONTROL, VK_LEFT},
    {800, MOD_CONTROL | MOD_ALT, 'R'}, {900, MOD_CONTROL | MOD_ALT, VK_RETURN}};

// try-hotkey MODS KEY [MODS KEY...]: one line per pair, "ok" or "error N"; true when all were ok.
int TryHotKey(const Args& args) {
    if (args.size() < 3 || args.size() % 2 == 0) return kUsage;
    int status = kOk;
    for (size_t i = 1; i + 1 < args.size(); i += 2) {
        UINT modifiers = 0;
        WORD vk = 0;
        bool extended = false;
        if (!ParseModifiers(args[i], modifiers) || !ParseKey(args[i + 1], vk, extended))
            return kUsage;
        constexpr int kProbeId = 0x7F00;
        if (RegisterHotKey(nullptr, kProbeId, modifiers, vk)) {
            UnregisterHotKey(nullptr, kProbeId);
            Print(L"ok");
        } else {
            Print(L"error " + std::to_wstring(GetLastError()));
            status = kFalse;
        }
    }
    return status;
}

constexpr const wchar_t* kReleaseEventName = L"Local\\HVXDriveReleaseHotKey";

// hold-hotkey MODS KEY [MS]: takes the combination as another program would, prints "ok" once it
// holds it (or "error N"), and lets go on release-hotkey or after MS (default 60000).
int HoldHotKey(const Args& args) {
    UINT modifiers = 0;
    WORD vk = 0;
    bool extended = false;
    if (args.size() < 3 || !ParseModifiers(args[1], modifiers) || !ParseKey(args[2], vk, extended))
        return kUsage;
    long long holdMs = 60000;
    if (args.size() > 3 && !args.Number(3, holdMs)) return kUsage;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, kReleaseEventName);
    if (!RegisterHotKey(nullptr, 1, modifiers, vk)) {
        if (release) CloseHandle(release);
        return Fail(L"error " + std::to_wstring(GetLastError()));
    }
    Print(L"ok");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(holdMs);
    while (GetTickCount64() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (MsgWaitForMultipleObjects(release ? 1 : 0, &release, FALSE, 50, QS_ALLINPUT) ==
            WAIT_OBJECT_0)
            break;
    }
    UnregisterHotKey(nullptr, 1);
    if (release) CloseHandle(release);
    return kOk;
}

int ReleaseHotKey() {
    HANDLE release = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReleaseEventName);
    if (!release) return Fail(L"nothing held");
    SetEvent(release);
    CloseHandle(release);
    return kOk;
}

// ---- registry -----------------------------------------------------------------------------

// "NAME" is a value of the settings key; "KEY\NAME" a value of any key of HKEY_CURRENT_USER
// (a leading "HKCU\" is dropped).
void SplitValuePath(std::wstring path, std::wstring& key, std::wstring& name) {
    if (Lower(path.substr(0, 5)) == L"hkcu\\") path = path.substr(5);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        key = kSettingsKey;
        name = path;
    } else {
        key = path.substr(0, slash);
        name = path.substr(slash + 1);
    }
}

std::wstring Describe(DWORD type, const std::vector<BYTE>& data) {
    switch (type) {
        case REG_DWORD: {
            DWORD value = 0;
            if (data.size() >= 4) memcpy(&value, data.data(), 4);
            return L"REG_DWORD " + std::to_wstring(value);
        }
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                              data.size() / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            return std::wstring(type == REG_SZ ? L"REG_SZ " : L"REG_EXPAND_SZ ") + text;
        }
        default:
            return L"type " + std::to_wstring(type) + L" size " + std::to_wstring(data.size());
    }
}

bool RegGetOne(const std::wstring& path) {
    std::wstring key, name;
    SplitValuePath(path, key, name);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        Print(L"missing");
        return false;
    }
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (status == ERROR_SUCCESS)
        status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) {
        Print(L"missing");
        return false;
    }
    data.resize(size);
    Print(Describe(type, data));
    return true;
}

// reg-get VALUE [VALUE...]: one line per value; true when all exist.
int RegGet(const Args& args) {
    if (args.size() < 2) return kUsage;
    int status = kOk;
    for (size_t i = 1; i < args.size(); ++i)
        if (!RegGetOne(args[i])) status = kFalse;
    return status;
}

int RegDump(const Args& args) {
    const std::wstring key = args.size() > 1 ? args[1] : std::wstring(kSettingsKey);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return Fail(L"missing");
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        if (RegEnumValueW(handle, index, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(size);
        nameLength = 256;
        RegEnumValueW(handle, index, name, &nameLength, nullptr, &type, data.data(), &size);
        Print(std::wstring(name) + L" " + Describe(type, data));
    }
    RegCloseKey(handle);
    return kOk;
}

int RegSetOne(const std::wstring& path, const std::wstring& typeName, const std::wstring& data) {
    std::wstring key, name;
    SplitValuePath(path, key, name);
    const std::wstring type = Lower(typeName);
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return Fail(L"cannot create key");
    LONG status = ERROR_INVALID_PARAMETER;
    if (type == L"dword") {
        long long number = 0;
        if (!ParseNumber(data, number)) {
            RegCloseKey(handle);
            return kUsage;
        }
        const DWORD value = static_cast<DWORD>(number);
        status = RegSetValueExW(handle, name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else if (type == L"sz") {
        status = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else if (type == L"binary") {
        std::vector<BYTE> bytes;
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            bytes.push_back(static_cast<BYTE>(wcstoul(data.substr(i, 2).c_str(), nullptr, 16)));
        status = RegSetValueExW(handle, name.c_str(), 0, REG_BINARY, bytes.data(),
                                static_cast<DWORD>(bytes.size()));
    }
    RegCloseKey(handle);
    return status == ERROR_SUCCESS ? kOk : Fail(L"error " + std::to_wstring(status));
}

// reg-set VALUE TYPE DATA [VALUE TYPE DATA...]
int RegSet(const Args& args) {
    if (args.size() < 4 || (args.size() - 1) % 3 != 0) return kUsage;
    for (size_t i = 1; i + 2 < args.size(); i += 3) {
        const int status = RegSetOne(args[i], args[i + 1], args[i + 2]);
        if (status != kOk) return status;
    }
    return kOk;
}

int RegDeleteKey(const Args& args) {
    if (args.size() < 2) return kUsage;
    std::wstring key = args[1];
    if (Lower(key.substr(0, 5)) == L"hkcu\\") key = key.substr(5);
    const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (status == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND
               ? kOk
               : Fail(L"error " + std::to_wstring(status));
}

int RegDelete(const Args& args) {
    if (args.size() < 2) return kUsage;
    std::wstring key, name;
    SplitValuePath(args[1], key, name);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS)
        return Fail(L"missing");
    const LONG status = RegDeleteValueW(handle, name.c_str());
    RegCloseKey(handle);
    return status == ERROR_SUCCESS ? kOk : Fail(L"missing");
}

// ---- processes ----------------------------------------------------------------------------

int ProcessCount(const std::wstring& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

// Ends every process running EXE and waits until they are gone; prints how many there were.
int KillProcesses(const std::wstring& exeName, DWORD timeoutMs) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return Fail(L"no process list");
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) != 0) continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 1);
            CloseHandle(process);
            ++count;
        }
    }
    CloseHandle(snapshot);
    if (!WaitFor(timeoutMs, [&] { return ProcessCount(exeName) == 0; }))
        return Fail(L"still running");
    Print(std::to_wstring(count));
    return kOk;
}

// ---- posting to HVX -----------------------------------------------------------------------

// Posts to one of HVX's windows and, unless told not to, waits until HVX has handled it (or is in a
// modal loop that it started).
int PostAndSync(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool sync) {
    if (!PostMessageW(window, message, wParam, lParam)) return Fail(L"PostMessage failed");
    if (sync && !SyncWith(window, kDefaultTimeoutMs)) return Fail(L"HVX did not take the message");
    return kOk;
}

int PostToMain(UINT message, WPARAM wParam, LPARAM lParam, bool sync) {
    HWND main = FindMain();
    if (!main) return Fail(L"no main window");
    return PostAndSync(main, message, wParam, lParam, sync);
}

bool ParseMouseMessage(const std::wstring& text, UINT& message) {
    struct Name {
        const wchar_t* name;
        UINT message;
    };
    static constexpr Name kNames[] = {
        {L"mousemove", WM_MOUSEMOVE},         {L"lbuttondown", WM_LBUTTONDOWN},
        {L"lbuttonup", WM_LBUTTONUP},         {L"lbuttondblclk", WM_LBUTTONDBLCLK},
        {L"rbuttondown", WM_RBUTTONDOWN},     {L"rbuttonup", WM_RBUTTONUP},
        {L"rbuttondblclk", WM_RBUTTONDBLCLK}, {L"mbuttonup", WM_MBUTTONUP}};
    const std::wstring lower = Lower(text);
    for (const Name& name : kNames) {
        if (lower == name.name || lower == std::wstring(L"wm_") + name.name) {
            message = name.message;
            return true;
        }
    }
    long long number = 0;
    if (!ParseNumber(text, number)) return false;
    message = static_cast<UINT>(number);
    return true;
}

// ---- subcommands --------------------------------------------------------------------------

int Usage() {
    Print(
        L"usage: hvxdrive COMMAND [ARGS] [; COMMAND [ARGS]...]   (TIMEOUT in ms, default 5000)\n"
        L"  the commands run in order; the first that does not succeed ends the run with its code\n"
        L"  find-main | wait-main [TIMEOUT] | wait-ready [TIMEOUT] | wait-gone [TIMEOUT]\n"
        L"  count-main\n"
        L"  tray-window | proc-count EXE | kill EXE [TIMEOUT] | mixer-devs | local-time\n"
        L"  command ID | hotkey ID | timer ID | tray MSG   (MSG: rbuttonup, lbuttondblclk, ...)\n"
        L"    each waits until HVX has taken the message, unless --no-sync follows\n"
        L"  sync [TIMEOUT]   (wait until HVX has taken everything posted so far)\n"
        L"  menu-shown | menu-items [TIMEOUT] | menu-default [TIMEOUT]\n"
        L"  menu-pick ID [TIMEOUT] | menu-close [escape|outside]\n"
        L"  dialogs | wait-dialog CAPTION [TIMEOUT] | wait-dialog-gone CAPTION [TIMEOUT]\n"
        L"  dialog-text CAPTION ID | dialog-check CAPTION ID | is-enabled CAPTION [ID]\n"
        L"  click CAPTION ID | post-click CAPTION ID | set-text CAPTION ID TEXT\n"
        L"  slider-pos CAPTION ID | slider-range CAPTION ID (prints MIN MAX)\n"
        L"  slider-drag CAPTION ID POS (moves the thumb there and tells the dialog, as a drag "
        L"would)\n"
        L"  combo-sel CAPTION ID | combo-text CAPTION ID\n"
        L"  combo-pick CAPTION ID INDEX (selects the item and tells the dialog, as a pick would)\n"
        L"  dialog-state CAPTION (per control with an id: edit text, check state 0/1/2, or the\n"
        L"    selected item of a combo box, - for none)\n"
        L"  is-topmost CAPTION | dialog-close CAPTION | dialog-controls CAPTION\n"
        L"  dialog-rect CAPTION   (x y width height on the screen, frame included)\n"
        L"  keys COMBO... (ctrl+up, ctrl+alt+r, escape) | click-at X Y\n"
        L"  try-hotkey MODS KEY [MODS KEY...] (ctrl+alt r: prints ok or error 1409)\n"
        L"  hold-hotkey MODS KEY [MS] (holds it like another program; prints ok once held)\n"
        L"  release-hotkey (ends hold-hotkey)\n"
        L"  reg-get [KEY\\]VALUE... | reg-set [KEY\\]VALUE dword|sz|binary DATA [...]\n"
        L"  reg-del [KEY\\]VALUE | reg-del-key KEY | reg-dump [KEY]   (KEY under HKCU; default the "
        L"settings key)");
    return kUsage;
}

int Run(const Args& args) {
    if (args.size() == 0) return Usage();
    const std::wstring command = Lower(args[0]);
    long long number = 0;
    if (command == L"find-main") {
        HWND main = FindMain();
        if (!main) return Fail(L"none");
        Print(Hex(reinterpret_cast<uintptr_t>(main)));
        return kOk;
    }
    if (command == L"wait-main")
        return WaitFor(args.Timeout(1), [] { return FindMain() != nullptr; }) ? kOk
                                                                              : Fail(L"timeout");
    if (command == L"wait-ready") {
        // The main window exists, its thread has gone idle in its message loop (start-up, hotkeys
        // included, has run) and it answers a sent message. The sent message alone is not enough:
        // the thread answers it inside any wait of its own, such as the tray icon's call to the
        // notification area during WM_CREATE, before start-up has finished. A posted marker is
        // only taken by a message loop.
        const DWORD timeout = args.Timeout(1);
        const ULONGLONG start = GetTickCount64();
        HWND main = nullptr;
        if (!WaitFor(timeout, [&] { return (main = FindMain()) != nullptr; }))
            return Fail(L"no main window");
        DWORD processId = 0;
        GetWindowThreadProcessId(main, &processId);
        const DWORD left = static_cast<DWORD>(timeout - (GetTickCount64() - start));
        if (HANDLE process =
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
            WaitForInputIdle(process, left);
            CloseHandle(process);
        }
        if (Send(main, WM_NULL, 0, 0, left) == -1) return Fail(L"not answering");
        const ULONGLONG spent = GetTickCount64() - start;
        return SyncWith(main, spent < timeout ? static_cast<DWORD>(timeout - spent) : 0)
                   ? kOk
                   : Fail(L"not taking posted messages");
    }
    if (command == L"wait-gone")
        return WaitFor(args.Timeout(1), [] { return FindMain() == nullptr; })
                   ? kOk
                   : Fail(L"still there");
    if (command == L"count-main") {
        Print(std::to_wstring(CountTitled(kMainTitle)));
        return kOk;
    }
    if (command == L"tray-window") {
        HWND tray = FindTray();
        if (!tray) return Fail(L"none");
        Print(Hex(reinterpret_cast<uintptr_t>(tray)));
        return kOk;
    }
    if (command == L"proc-count") {
        if (args.size() < 2) return kUsage;
        Print(std::to_wstring(ProcessCount(args[1])));
        return kOk;
    }
    // Posting commands wait until HVX has taken the message, unless --no-sync follows.
    const bool sync = !(args.size() > 2 && Lower(args[args.size() - 1]) == L"--no-sync");
    if (command == L"sync") {
        HWND main = FindMain();
        if (!main) return Fail(L"no main window");
        return SyncWith(main, args.Timeout(1)) ? kOk : Fail(L"timeout");
    }
    if (command == L"command") {
        if (!args.Number(1, number)) return kUsage;
        return PostToMain(WM_COMMAND, static_cast<WPARAM>(number), 0, sync);
    }
    if (command == L"hotkey") {
        if (!args.Number(1, number)) return kUsage;
        LPARAM lParam = 0;
        for (const HotKeyEntry& entry : kHotKeys)
            if (entry.id == number) lParam = MAKELPARAM(entry.modifiers, entry.vk);
        return PostToMain(WM_HOTKEY, static_cast<WPARAM>(number), lParam, sync);
    }
    if (command == L"timer") {
        if (!args.Number(1, number)) return kUsage;
        return PostToMain(WM_TIMER, static_cast<WPARAM>(number), 0, sync);
    }
    if (command == L"tray") {
        UINT message = 0;
        if (args.size() < 2 || !ParseMouseMessage(args[1], message)) return kUsage;
        HWND tray = FindTray();
        if (!tray) return Fail(L"no tray window");
        return PostAndSync(tray, kTrayNotify, kTrayIconId, message, sync);
    }
    if (command == L"menu-shown") return FindMenuWindow() ? kOk : Fail(L"no menu");
    if (command == L"menu-items") return MenuItems(args, false);
    if (command == L"menu-default") return MenuItems(args, true);
    if (command == L"menu-pick") return MenuPick(args);
    if (command == L"menu-close") return MenuClose(args);

    if (command == L"dialogs") {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, kDialogClass, nullptr)) != nullptr)
            if (IsWindowVisible(window)) Print(WindowText(window));
        return kOk;
    }
    if (command == L"wait-dialog") {
        if (args.size() < 2) return kUsage;
        const std::wstring caption = args[1];
        return WaitFor(args.Timeout(2), [&] { return FindDialog(caption) != nullptr; })
                   ? kOk
                   : Fail(L"timeout");
    }
    if (command == L"wait-dialog-gone") {
        if (args.size() < 2) return kUsage;
        const std::wstring caption = args[1];
        return WaitFor(args.Timeout(2), [&] { return FindDialog(caption) == nullptr; })
                   ? kOk
                   : Fail(L"still there");
    }
    if (command == L"dialog-controls") {
        // One line per control in Z order: id, window class, text.
        if (args.size() < 2) return kUsage;
        HWND dialog = FindDialog(args[1]);
        if (!dialog) return Fail(L"no dialog \"" + args[1] + L"\"");
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[64] = L"";
            GetClassNameW(child, className, 64);
            const int id = static_cast<int>(GetWindowLongPtrW(child, GWLP_ID));
            Print(std::to_wstring(static_cast<short>(id)) + L" " + className + L" " +
                  WindowText(child));
        }
        return kOk;
    }
    if (command == L"dialog-rect") {
        // Where the dialog stands on the screen, frame and caption included: for a screenshot.
        if (args.size() < 2) return kUsage;
        HWND dialog = FindDialog(args[1]);
        if (!dialog) return Fail(L"no dialog \"" + args[1] + L"\"");
        RECT rect{};
        if (!GetWindowRect(dialog, &rect)) return Fail(L"no rectangle");
        Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " +
              std::to_wstring(rect.bottom - rect.top));
        return kOk;
    }
    if (command == L"is-topmost" || command == L"dialog-close") {
        if (args.size() < 2) return kUsage;
        HWND dialog = FindDialog(args[1]);
        if (!dialog) return Fail(L"no dialog \"" + args[1] + L"\"");
        if (command == L"dialog-close")
            return PostMessageW(dialog, WM_CLOSE, 0, 0) ? kOk : Fail(L"PostMessage failed");
        const bool topmost = (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        Print(topmost ? L"yes" : L"no");
        return topmost ? kOk : kFalse;
    }

    Control control;
    if (command == L"dialog-text") {
        if (!FindControl(args, 1, control)) return kFalse;
        Print(WindowText(control.control));
        return kOk;
    }
    if (command == L"dialog-check") {
        if (!FindControl(args, 1, control)) return kFalse;
        Print(std::to_wstring(Send(control.control, BM_GETCHECK)));
        return kOk;
    }
    if (command == L"is-enabled") {
        // Without an id: the dialog itself (a dialog under a nested one is disabled).
        HWND window = nullptr;
        if (args.size() == 2) {
            window = FindDialog(args[1]);
            if (!window) return Fail(L"no dialog \"" + args[1] + L"\"");
        } else {
            if (!FindControl(args, 1, control)) return kFalse;
            window = control.control;
        }
        const bool enabled = IsWindowEnabled(window);
        Print(enabled ? L"yes" : L"no");
        return enabled ? kOk : kFalse;
    }
    if (command == L"click") {
        // Waits for the click to be handled, unless it opened a nested modal dialog.
        if (!FindControl(args, 1, control)) return kFalse;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(control.control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
            Print(L"pending");
        return kOk;
    }
    if (command == L"post-click") {
        if (!FindControl(args, 1, control)) return kFalse;
        return PostMessageW(control.control, BM_CLICK, 0, 0) ? kOk : Fail(L"PostMessage failed");
    }
    if (command == L"set-text") {
        if (args.size() < 4 || !FindControl(args, 1, control)) return kFalse;
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control.control, WM_SETTEXT, 0,
                                   reinterpret_cast<LPARAM>(args[3].c_str()), SMTO_ABORTIFHUNG,
                                   2000, &result) &&
                       result
                   ? kOk
                   : Fail(L"WM_SETTEXT failed");
    }
    if (command == L"slider-pos") {
        if (!FindControl(args, 1, control)) return kFalse;
        Print(std::to_wstring(Send(control.control, TBM_GETPOS)));
        return kOk;
    }
    if (command == L"slider-range") {
        if (!FindControl(args, 1, control)) return kFalse;
        Print(std::to_wstring(Send(control.control, TBM_GETRANGEMIN)) + L" " +
              std::to_wstring(Send(control.control, TBM_GETRANGEMAX)));
        return kOk;
    }
    if (command == L"slider-drag") {
        // What a thumb dragged to POS does: the trackbar moves, then tells its dialog with
        // WM_HSCROLL (TB_THUMBTRACK while dragging, TB_THUMBPOSITION and TB_ENDTRACK on release).
        long long pos = 0;
        if (!FindControl(args, 1, control) || !args.Number(3, pos)) return kUsage;
        const LPARAM slider = reinterpret_cast<LPARAM>(control.control);
        Send(control.control, TBM_SETPOS, TRUE, static_cast<LPARAM>(pos));
        const WORD position = static_cast<WORD>(pos);
        Send(control.dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), slider);
        Send(control.dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), slider);
        Send(control.dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), slider);
        return kOk;
    }
    if (command == L"combo-sel") {
        if (!FindControl(args, 1, control)) return kFalse;
        Print(std::to_wstring(Send(control.control, CB_GETCURSEL)));
        return kOk;
    }
    if (command == L"combo-pick") {
        long long index = 0;
        if (!FindControl(args, 1, control)) return kFalse;
        if (!args.Number(3, index)) return kUsage;
        if (Send(control.control, CB_SETCURSEL, static_cast<WPARAM>(index)) != index)
            return Fail(L"no item " + std::to_wstring(index));
        // What the combo box sends its dialog when the user picks from the list.
        Send(control.dialog, WM_COMMAND, MAKEWPARAM(control.id, CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(control.control));
        return kOk;
    }
    if (command == L"dialog-state") {
        if (args.size() < 2) return kUsage;
        HWND dialog = FindDialog(args[1]);
        if (!dialog) return Fail(L"no dialog \"" + args[1] + L"\"");
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const int id = static_cast<short>(GetWindowLongPtrW(child, GWLP_ID));
            if (id == -1) continue;
            wchar_t className[64] = L"";
            GetClassNameW(child, className, 64);
            const std::wstring prefix = std::to_wstring(id) + L" ";
            if (_wcsicmp(className, L"Edit") == 0) {
                Print(prefix + WindowText(child));
            } else if (_wcsicmp(className, L"ComboBox") == 0) {
                const LRESULT selected = Send(child, CB_GETCURSEL);
                wchar_t item[256] = L"-";
                const LRESULT length = Send(child, CB_GETLBTEXTLEN, selected);
                if (selected >= 0 && length >= 0 && length < 256)
                    Send(child, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(item));
                Print(prefix + item);
            } else if (_wcsicmp(className, L"Button") == 0) {
                const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
                if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX)
                    continue;
                Print(prefix + std::to_wstring(Send(child, BM_GETCHECK)));
            }
        }
        return kOk;
    }
    if (command == L"combo-text") {
        if (!FindControl(args, 1, control)) return kFalse;
        const LRESULT selected = Send(control.control, CB_GETCURSEL);
        if (selected == CB_ERR) return Fail(L"no selection");
        wchar_t buffer[256] = L"";
        const LRESULT length = Send(control.control, CB_GETLBTEXTLEN, selected);
        if (length >= 0 && length < 256)
            Send(control.control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(buffer));
        Print(buffer);
        return kOk;
    }

    if (command == L"keys") {
        // Hotkeys reach HVX as posted WM_HOTKEY, queued by the time SendInput returns; the sync
        // then waits for them.
        if (args.size() < 2) return kUsage;
        for (size_t i = 1; i < args.size(); ++i) {
            if (Lower(args[i]) == L"--no-sync") continue;
            if (!SendCombination(args[i])) return kFalse;
            Sleep(30);
        }
        HWND main = FindMain();
        if (sync && main && !SyncWith(main, kDefaultTimeoutMs))
            return Fail(L"HVX did not take the keys");
        return kOk;
    }
    if (command == L"click-at") {
        long long x = 0, y = 0;
        if (!args.Number(1, x) || !args.Number(2, y)) return kUsage;
        return ClickAt(POINT{static_cast<LONG>(x), static_cast<LONG>(y)}, false)
                   ? kOk
                   : Fail(L"SendInput failed");
    }
    if (command == L"try-hotkey") return TryHotKey(args);
    if (command == L"hold-hotkey") return HoldHotKey(args);
    if (command == L"release-hotkey") return ReleaseHotKey();
    if (command == L"reg-get") return RegGet(args);
    if (command == L"reg-set") return RegSet(args);
    if (command == L"reg-del") return RegDelete(args);
    if (command == L"reg-del-key") return RegDeleteKey(args);
    if (command == L"kill") {
        if (args.size() < 2) return kUsage;
        return KillProcesses(args[1], args.Timeout(2));
    }
    if (command == L"local-time") {
        // What this process sees as local time, e.g. under faketime.
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t text[64];
        swprintf(text, 64, L"%04u-%02u-%02u %02u:%02u:%02u weekday %u", now.wYear, now.wMonth,
                 now.wDay, now.wHour, now.wMinute, now.wSecond, now.wDayOfWeek);
        Print(text);
        return kOk;
    }
    if (command == L"mixer-devs") {
        Print(std::to_wstring(mixerGetNumDevs()));
        return kOk;
    }
    if (command == L"reg-dump") return RegDump(args);
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends for the shell that reads us.
    _setmode(_fileno(stdout), _O_BINARY);
    // "a 1 ; b 2" runs a, then b if a succeeded.
    std::vector<Args> commands(1);
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L";")
            commands.emplace_back();
        else
            commands.back().list.emplace_back(argv[i]);
    }
    for (const Args& args : commands) {
        if (commands.size() > 1 && args.size() == 0) continue;
        const int status = Run(args);
        if (status != kOk) return status;
    }
    return kOk;
}
