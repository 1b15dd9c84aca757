// hvxdrive.exe: drives a running HVX.exe from inside its Wine prefix, as the system and a user
// would. Steps run in order, separated by ";" arguments; the first that fails (or waits more than
// five seconds) ends the run with exit code 1. Those that post to HVX (and keys, click) return
// once HVX has taken the message; dialog, click and set-text first wait for their dialog.
//   wait-ready | sync          HVX's main window "SystemTray" is up | HVX took all posted so far
//   command ID | timer ID      WM_COMMAND / WM_TIMER posted to the main window
//   tray MESSAGE               the tray callback (WM_USER + 15) with a mouse message, e.g. 0x205
//   keys COMBO...              real key presses (SendInput): ctrl+alt+r, up, enter, escape
//   wait-menu | wait-dialog CAPTION | wait-gone CAPTION
//   dialog CAPTION             "CAPTION [topmost]", then "ID CLASS CHECK TEXT" per control
//   click CAPTION ID | set-text CAPTION ID TEXT: a click on / typing into a dialog's control
//   hold-hotkey COMBO          holds it as another program would; prints "ok", never returns
//   indicator | indicator-gone the volume indicator shows: "TEXT" (" active" if it is) | hides
//   watch-tip | tip            keep the tips the notification area gets | print the last, its
//                              lines joined by " | "
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;
constexpr DWORD kWaitMs = 5000;
// A start may first bring the prefix up again after a power action ended it, on a busy machine.
constexpr DWORD kStartWaitMs = 30000;

template <typename Condition>
bool WaitFor(Condition condition, DWORD waitMs = kWaitMs) {
    for (const ULONGLONG end = GetTickCount64() + waitMs; !condition(); Sleep(20))
        if (GetTickCount64() >= end) return false;
    return true;
}

HWND FindVisible(const wchar_t* cls, const wchar_t* title) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, cls, title)) != nullptr)
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

const auto Main = [] { return FindWindowW(L"HVXMainWnd", L"SystemTray"); };
const auto Dialog = [](const std::wstring& title) { return FindVisible(L"#32770", title.c_str()); };

std::wstring Text(HWND window) {
    wchar_t text[512] = L"";  // sent, so the control answers from its own process
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        kWaitMs, nullptr);
    return text;
}

// Posts a marker behind everything already posted to the thread of `window` and waits until the
// thread takes it, in its main loop or a modal one, or its process ends.
bool Sync(HWND window) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &pid);
    if (!thread) return true;  // gone already
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, L"Local\\HVXDriveSync");
    HMODULE probe = LoadLibraryW(L"hvxprobe.dll");
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(probe ? GetProcAddress(probe, "SyncHook") : nullptr));
    HHOOK installed = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe, thread) : nullptr;
    const HANDLE handles[] = {taken, process};
    const bool done = installed && process && taken &&
                      PostThreadMessageW(thread, RegisterWindowMessageW(L"HVXDriveSync"), 0, 0) &&
                      WaitForMultipleObjects(2, handles, FALSE, kWaitMs) != WAIT_TIMEOUT;
    if (installed) UnhookWindowsHookEx(installed);
    CloseHandle(process), CloseHandle(taken), FreeLibrary(probe);
    return done;
}

bool PostAndSync(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window && PostMessageW(window, message, wParam, lParam) && Sync(window);
}

// "ctrl+alt+r" as virtual keys, in pressing order; none when a name is not known.
std::vector<WORD> Combo(const std::wstring& combo) {
    static const std::map<std::wstring, WORD> kNames = {
        {L"ctrl", VK_CONTROL}, {L"alt", VK_MENU},     {L"up", VK_UP},         {L"down", VK_DOWN},
        {L"left", VK_LEFT},    {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"r", 'R'}};
    std::vector<WORD> keys;
    std::wistringstream names(combo);
    for (std::wstring name; std::getline(names, name, L'+');) {
        const auto named = kNames.find(name);
        if (named == kNames.end()) return {};
        keys.push_back(named->second);
    }
    return keys;
}

bool PressKeys(const std::wstring& combo) {
    const std::vector<WORD> keys = Combo(combo);
    std::vector<INPUT> inputs(2 * keys.size());  // all down in order, then up in reverse
    for (size_t i = 0; i < inputs.size(); ++i) {
        const bool up = i >= keys.size();
        KEYBDINPUT& key = (inputs[i].type = INPUT_KEYBOARD, inputs[i].ki);
        key.wVk = keys[up ? inputs.size() - 1 - i : i];
        key.wScan = static_cast<WORD>(MapVirtualKeyW(key.wVk, MAPVK_VK_TO_VSC));
        const bool extended = key.wVk >= VK_LEFT && key.wVk <= VK_DOWN;
        key.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    }
    return !keys.empty() && SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                                      sizeof(INPUT)) == inputs.size();
}

bool HoldHotKey(const std::wstring& combo) {
    const std::vector<WORD> keys = Combo(combo);
    UINT modifiers = 0;
    for (size_t i = 0; i + 1 < keys.size(); ++i)
        modifiers |= keys[i] == VK_CONTROL ? MOD_CONTROL : keys[i] == VK_MENU ? MOD_ALT : 0;
    if (keys.empty() || !RegisterHotKey(nullptr, 1, modifiers, keys.back())) return false;
    fputs("ok\n", stdout), fflush(stdout);
    Sleep(INFINITE);  // the hotkey is held while this thread lives
    return true;
}

const auto Indicator = [] { return FindVisible(L"HVXVolumeIndicator", nullptr); };

// From here on, the tips that reach the notification area are kept (the probe hooked into its
// thread writes each to shared memory), while this run lasts.
wchar_t* g_tip = nullptr;
bool WatchTip() {
    HANDLE shared = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512,
                                       L"Local\\HVXDriveTip");
    g_tip =
        shared ? static_cast<wchar_t*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    HMODULE probe = LoadLibraryW(L"hvxprobe.dll");
    auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(probe ? GetProcAddress(probe, "TipHook") : nullptr));
    const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    const DWORD thread = GetWindowThreadProcessId(tray, nullptr);
    // A message of our own brings the probe into that thread.
    return g_tip && thread && hook && SetWindowsHookExW(WH_CALLWNDPROC, hook, probe, thread) &&
           SendMessageTimeoutW(tray, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, nullptr);
}

bool PrintTip() {
    if (g_tip == nullptr || g_tip[0] == L'\0') return false;
    std::wstring text(g_tip);
    for (size_t nl; (nl = text.find(L'\n')) != std::wstring::npos;) text.replace(nl, 1, L" | ");
    return printf("%ls\n", text.c_str()), true;
}

bool PrintDialog(HWND dialog) {
    const bool topmost = GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST;
    printf("%ls%s\n", Text(dialog).c_str(), topmost ? " topmost" : "");
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = L"";
        GetClassNameW(child, cls, 64);
        DWORD_PTR check = 0;
        if (lstrcmpiW(cls, L"Button") == 0)
            SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &check);
        printf("%d %ls %u %ls\n", static_cast<short>(GetDlgCtrlID(child)), cls,
               static_cast<unsigned>(check), Text(child).c_str());
    }
    return true;
}

// One step; false when it failed or is not a step.
bool Step(const Args& a) {
    const std::wstring& step = a[0];
    const size_t n = a.size();
    const UINT number = n >= 2 ? wcstoul(a.back().c_str(), nullptr, 0) : 0;
    if (step == L"wait-ready") return WaitFor([] { return Main(); }, kStartWaitMs) && Sync(Main());
    if (step == L"sync") return Sync(Main());
    if (step == L"command" && n == 2) return PostAndSync(Main(), WM_COMMAND, number, 0);
    if (step == L"timer" && n == 2) return PostAndSync(Main(), WM_TIMER, number, 0);
    if (step == L"tray" && n == 2)
        return PostAndSync(FindWindowW(L"HVXTrayWnd", nullptr), WM_USER + 15, 101, number);
    // A hotkey is posted to HVX by the time SendInput returns.
    if (step == L"keys" && n >= 2)
        return std::all_of(a.begin() + 1, a.end(), PressKeys) && Sync(Main());
    if (step == L"wait-menu") return WaitFor([] { return FindVisible(L"#32768", nullptr); });
    if (step == L"wait-gone" && n == 2) return WaitFor([&] { return !Dialog(a[1]); });
    if (step == L"hold-hotkey" && n == 2) return HoldHotKey(a[1]);
    if (step == L"watch-tip") return WatchTip();
    if (step == L"tip") return PrintTip();
    if (step == L"indicator-gone") return WaitFor([] { return !Indicator(); });
    if (step == L"indicator") {
        HWND shown = nullptr;
        if (!WaitFor([&] { return shown = Indicator(); })) return false;
        return printf("%ls%s\n", Text(shown).c_str(),
                      GetForegroundWindow() == shown ? " active" : ""),
               true;
    }
    HWND dialog = nullptr;  // the steps left wait for their dialog
    if (n < 2 || !WaitFor([&] { return dialog = Dialog(a[1]); })) return false;
    if (step == L"wait-dialog") return n == 2;
    if (step == L"dialog") return n == 2 && PrintDialog(dialog);
    HWND control = n >= 3 ? GetDlgItem(dialog, _wtoi(a[2].c_str())) : nullptr;
    // Posted: a click that opens a nested dialog returns at once; the sync waits for either.
    if (step == L"click" && n == 3) return control && PostAndSync(control, BM_CLICK, 0, 0);
    return step == L"set-text" && n == 4 && control &&
           SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[3].c_str()),
                               SMTO_ABORTIFHUNG, kWaitMs, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Args step;
    for (int i = 1, number = 1; i <= argc; ++i)
        if (i < argc && std::wstring(argv[i]) != L";")
            step.emplace_back(argv[i]);
        else if (step.empty() || !Step(step))
            return fprintf(stderr, "hvxdrive: step %d failed\n", number), 1;
        else
            step.clear(), ++number;
    return 0;
}
