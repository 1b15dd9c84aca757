#include "platform/win32/Win32Services.h"

#include <string>

#include "platform/win32/WideString.h"

namespace hvx::win32 {

// --- Clock -------------------------------------------------------------------------------------

LocalTime Win32Clock::Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wDayOfWeek};
}

// --- Registry ----------------------------------------------------------------------------------

bool Win32Registry::ReadDword(std::string_view keyPath, std::string_view valueName,
                              uint32_t& value) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return false;
    }
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    status = RegQueryValueExW(key, Widen(valueName).c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof(data)))
        status = ERROR_INVALID_DATA;
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return false;
    }
    value = data;
    return true;
}

bool Win32Registry::WriteDword(std::string_view keyPath, std::string_view valueName,
                               uint32_t value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, Widen(keyPath).c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return false;
    }
    const DWORD data = value;
    status = RegSetValueExW(key, Widen(valueName).c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof(data));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return false;
    }
    return true;
}

// --- Run entry ---------------------------------------------------------------------------------

std::string Win32RunEntry::ModulePath() {
    // Long paths exceed MAX_PATH; grow until the whole path fits rather than store it cut.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        if (path.size() >= 32768) return {};  // the longest path Windows has
        path.resize(path.size() * 2);
    }
}

bool Win32RunEntry::Write(std::string_view name, std::string_view path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const std::wstring command = L"\"" + Widen(path) + L"\"";
    const LONG status = RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(command.c_str()),
                                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool Win32RunEntry::Delete(std::string_view name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegDeleteValueW(key, Widen(name).c_str());
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// --- Instance marker ---------------------------------------------------------------------------

Win32InstanceMarker::Win32InstanceMarker(std::string_view name) {
    m_handle = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS)
        m_state = State::AlreadyExists;
    else if (m_handle == nullptr)
        m_state = State::Failed;
    else
        m_state = State::Created;
}

Win32InstanceMarker::~Win32InstanceMarker() {
    if (m_handle != nullptr) CloseHandle(m_handle);
    m_handle = nullptr;
}

// --- Power -------------------------------------------------------------------------------------

bool Win32Power::EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    // Success without the privilege assigned (ERROR_NOT_ALL_ASSIGNED) still counts: the
    // platform call that follows decides.
    const BOOL adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return adjusted != FALSE;
}

bool Win32Power::ExitWindows(uint32_t flags) {
    return ExitWindowsEx(flags, 0) != FALSE;
}

bool Win32Power::SetSystemPowerState(bool suspend, bool force) {
    return ::SetSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
}

}  // namespace hvx::win32
