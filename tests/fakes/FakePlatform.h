// Fakes of every platform service, recording the calls HVX makes into one shared journal so
// tests can check order as well as effect.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/InstanceMarker.h"
#include "platform/Platform.h"
#include "tests/fakes/FakeDialogHost.h"

namespace hvx::test {

struct CallLog {
    std::vector<std::string> calls;
    void Add(std::string call) { calls.push_back(std::move(call)); }
    // The calls that start with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    size_t Count(const std::string& call) const;
    // Index of the first call equal to call, or -1.
    int IndexOf(const std::string& call) const;
    void Clear() { calls.clear(); }
};

class FakeWindow : public IMainWindow {
  public:
    explicit FakeWindow(CallLog& log) : m_log(log) {}
    bool Create(std::string_view title, IMainWindowHandler& handler) override;
    void Destroy() override;
    bool SetTimer(unsigned timerId, unsigned periodMs) override;
    bool KillTimer(unsigned timerId) override;
    bool RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) override;
    bool UnregisterHotKey(int hotkeyId) override;
    void MessageBeep(uint32_t type) override;
    void SetForeground() override;
    void SendCommand(int commandId) override;
    void PostNull() override;

    IMainWindowHandler* handler = nullptr;
    bool destroyed = false;
    std::map<unsigned, unsigned> timers;  // running timers: id -> period
    int beeps = 0;

  private:
    CallLog& m_log;
};

class FakeTray : public ITrayHost {
  public:
    explicit FakeTray(CallLog& log) : m_log(log) {}
    bool CreateMessageWindow(ITrayHandler& handler) override;
    bool AddIcon(const NotifyIconData& data) override;
    bool DeleteIcon(const NotifyIconData& data) override;
    bool CreatePopupMenu() override;
    bool AppendMenuItem(int id, std::string_view text) override;
    bool AppendMenuSeparator() override;
    bool ModifyMenuItem(int id, std::string_view text) override;
    bool SetMenuDefaultItem(int id) override;
    bool TrackPopupMenu(unsigned flags, ScreenPoint at) override;
    ScreenPoint GetCursorPos() override { return {640, 700}; }

    ITrayHandler* handler = nullptr;
    int menusShown = 0;
    // Chosen while the menu shows: the command the user picks, or 0 to dismiss it.
    int pickOnTrack = 0;
    IMainWindow* owner = nullptr;

  private:
    CallLog& m_log;
};

class FakeClock : public IClock {
  public:
    LocalTime Now() override { return now; }
    void Set(int hour, int minute, int weekday = 1) { now = {hour, minute, weekday}; }
    LocalTime now{12, 0, 1};
};

class FakeRegistry : public IRegistryStore {
  public:
    struct Value {
        bool isDword = true;
        uint32_t dword = 0;
        std::string text;
    };
    explicit FakeRegistry(CallLog& log) : m_log(log) {}
    bool ReadDword(std::string_view keyPath, std::string_view valueName, uint32_t& value) override;
    bool WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override;

    // Settings-key helpers for tests.
    std::optional<uint32_t> Get(const std::string& name) const;
    void Set(const std::string& name, uint32_t value);
    void SetString(const std::string& name, const std::string& text);

    std::map<std::string, std::map<std::string, Value>> keys;  // key path -> values
    std::vector<std::string> failWritesOf;                     // value names whose writes fail

  private:
    CallLog& m_log;
};

class FakeRunEntry : public IRunEntry {
  public:
    explicit FakeRunEntry(CallLog& log) : m_log(log) {}
    std::string ModulePath() override { return modulePath; }
    bool Write(std::string_view name, std::string_view path) override;
    bool Delete(std::string_view name) override;

    std::string modulePath = "C:\\Program Files\\HVX\\HVX.exe";
    std::map<std::string, std::string> entries;

  private:
    CallLog& m_log;
};

// A mixer device with optional master (volume, mute) and wave lines.
class FakeMixer : public IMixerDevice {
  public:
    struct Control {
        uint32_t id;
        uint32_t minimum;
        uint32_t maximum;
        uint32_t value;
        bool refuseRead = false;
        bool refuseWrite = false;
    };
    explicit FakeMixer(CallLog& log);
    uint32_t GetNumDevs() override { return devices; }
    bool Open(uint32_t deviceId) override;
    bool GetDevCaps() override { return true; }
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

    Control* Find(uint32_t controlId);

    uint32_t devices = 1;
    bool open = false;
    bool hasWaveLine = true;
    bool hasMuteControl = true;
    Control master{1, 0, 65535, 30000};
    Control mute{2, 0, 1, 0};
    Control wave{3, 0, 65535, 30000};
    std::vector<std::pair<uint32_t, uint32_t>> writes;  // control id, value

  private:
    CallLog& m_log;
};

class FakePower : public IPower {
  public:
    explicit FakePower(CallLog& log) : m_log(log) {}
    bool EnableShutdownPrivilege() override;
    bool ExitWindows(uint32_t flags) override;
    bool SetSystemPowerState(bool suspend, bool force) override;

    bool privilegeFails = false;

  private:
    CallLog& m_log;
};

class FakeMarker : public IInstanceMarker {
  public:
    State CreationState() const override { return state; }
    State state = State::Created;
};

// Every fake, wired into one Platform.
struct FakePlatform {
    CallLog log;
    FakeWindow window{log};
    FakeTray tray{log};
    FakeDialogHost dialogs{log.calls};
    FakeClock clock;
    FakeRegistry registry{log};
    FakeRunEntry runEntry{log};
    FakeMixer mixer{log};
    FakePower power{log};
    Platform platform{window, tray, dialogs, clock, registry, runEntry, mixer, power};

    FakePlatform() { tray.owner = &window; }
};

}  // namespace hvx::test
