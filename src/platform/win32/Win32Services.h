// The small Windows services: local time, the registry store, the run-at-log-on entry, the
// single-instance marker and the power calls.
#pragma once

#include <windows.h>

#include <string_view>

// winuser.h's two-argument ExitWindows macro would swallow IPower::ExitWindows; HVX never uses
// the macro (it calls ExitWindowsEx).
#undef ExitWindows

#include "platform/Clock.h"
#include "platform/InstanceMarker.h"
#include "platform/Power.h"
#include "platform/RegistryStore.h"

namespace hvx::win32 {

class Win32Clock final : public IClock {
  public:
    LocalTime Now() override;
};

// DWORD values under HKEY_CURRENT_USER. Every access opens and closes its key.
class Win32Registry final : public IRegistryStore {
  public:
    bool ReadDword(std::string_view keyPath, std::string_view valueName, uint32_t& value) override;
    bool WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override;
};

// The current user's Run key. The key must already exist; it is never created here.
class Win32RunEntry final : public IRunEntry {
  public:
    static constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

    std::string ModulePath() override;
    // Stores the path in double quotes, so a path with spaces starts the right program.
    bool Write(std::string_view name, std::string_view path) override;
    bool Delete(std::string_view name) override;
};

// A named mutex that only marks that HVX runs; never waited on. Create it during static
// initialisation, so the answer is known before anything else starts.
class Win32InstanceMarker final : public IInstanceMarker {
  public:
    explicit Win32InstanceMarker(std::string_view name);
    ~Win32InstanceMarker() override;
    Win32InstanceMarker(const Win32InstanceMarker&) = delete;
    Win32InstanceMarker& operator=(const Win32InstanceMarker&) = delete;

    State CreationState() const override { return m_state; }

  private:
    HANDLE m_handle = nullptr;
    State m_state = State::Failed;
};

class Win32Power final : public IPower {
  public:
    bool EnableShutdownPrivilege() override;
    bool ExitWindows(uint32_t flags) override;
    bool SetSystemPowerState(bool suspend, bool force) override;
};

}  // namespace hvx::win32
