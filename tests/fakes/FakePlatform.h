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

inline std::string Num(uint64_t v) {
    return std::to_string(v);
}
std::string Hex(uint32_t v);

struct CallLog {
    std::vector<std::string> calls;
    bool Add(std::string call) {
        calls.push_back(std::move(call));
        return true;
    }
    // The calls that start with prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    size_t Count(const std::string& call) const;
    // Index of the first call equal to call, or -1.
    int IndexOf(const std::string& call) const;
    // The icon's tip and image and the volume indicator are journaled only when a test asks.
    bool stateToo = false;
};

// Every fake journals into the one log of its platform.
struct Journaling {
    explicit Journaling(CallLog& log) : m_log(log) {}
    CallLog& m_log;
};

class FakeWindow : public IMainWindow, Journaling {
  public:
    using Journaling::Journaling;
    bool Create(std::string_view title, IMainWindowHandler& handler) override;
    void Destroy() override { m_log.Add("DestroyWindow"), timers.clear(); }
    bool SetTimer(unsigned id, unsigned ms) override {
        return timers[id] = ms, m_log.Add("SetTimer " + Num(id) + " " + Num(ms));
    }
    bool KillTimer(unsigned id) override {
        return m_log.Add("KillTimer " + Num(id)) && timers.erase(id) != 0;
    }
    bool RegisterHotKey(int id, uint32_t mods, uint32_t key) override {
        return m_log.Add("RegisterHotKey " + Num(id) + " " + Hex(mods) + " " + Hex(key));
    }
    bool UnregisterHotKey(int id) override { return m_log.Add("UnregisterHotKey " + Num(id)); }
    void MessageBeep(uint32_t type) override { beeps += m_log.Add("MessageBeep " + Hex(type)); }
    void SetForeground() override { m_log.Add("SetForeground"); }
    void SendCommand(int id) override {
        if (m_log.Add("SendCommand " + Num(id)) && handler) handler->OnCommand(id);
    }
    void PostNull() override { m_log.Add("PostNull"); }

    IMainWindowHandler* handler = nullptr;
    std::map<unsigned, unsigned> timers;  // running timers: id -> period
    int beeps = 0;
};

class FakeTray : public ITrayHost, Journaling {
  public:
    using Journaling::Journaling;
    bool CreateMessageWindow(ITrayHandler& h) override {
        return handler = &h, m_log.Add("CreateTrayWindow");
    }
    bool AddIcon(const NotifyIconData& d) override {
        return m_log.Add("AddIcon " + Num(d.id) + " " + Hex(d.callbackMessage) + " '" + d.tip +
                         "'");
    }
    bool DeleteIcon(const NotifyIconData& d) override {
        return m_log.Add("DeleteIcon " + Num(d.id));
    }
    bool ModifyIcon(const NotifyIconData& d) override {
        shown = d;
        return !m_log.stateToo ||
               m_log.Add("ModifyIcon " + Num(d.iconResource) + " '" + d.tip + "'");
    }
    bool CreatePopupMenu() override { return m_log.Add("CreatePopupMenu"); }
    bool AppendMenuItem(int, std::string_view) override { return true; }
    bool AppendMenuSeparator() override { return true; }
    bool ModifyMenuItem(int id, std::string_view text) override {
        return m_log.Add("ModifyMenu " + Num(id) + " " + std::string(text));
    }
    bool SetMenuDefaultItem(int id) override { return m_log.Add("SetMenuDefaultItem " + Num(id)); }
    bool TrackPopupMenu(unsigned flags, ScreenPoint at) override {
        m_log.Add("TrackPopupMenu " + Num(flags) + " " + Num(at.x) + "," + Num(at.y));
        // A chosen item reaches the main window as a command once the menu has closed.
        if (pickOnTrack != 0 && owner) owner->SendCommand(pickOnTrack);
        return ++menusShown;
    }
    ScreenPoint GetCursorPos() override { return {640, 700}; }

    ITrayHandler* handler = nullptr;
    NotifyIconData shown;  // as last modified
    int menusShown = 0;
    // Chosen while the menu shows: the command the user picks, or 0 to dismiss it.
    int pickOnTrack = 0;
    IMainWindow* owner = nullptr;
};

class FakeClock : public IClock {
  public:
    LocalTime Now() override { return now; }
    void Set(int hour, int minute, int weekday = 1) { now = {hour, minute, weekday}; }
    LocalTime now{12, 0, 1};
};

class FakeRegistry : public IRegistryStore, Journaling {
  public:
    using Journaling::Journaling;
    bool ReadDword(std::string_view keyPath, std::string_view valueName, uint32_t& value) override;
    bool WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override;

    // The settings key's values (Get: another key's with keyPath); nullopt: a value not a DWORD.
    std::map<std::string, std::optional<uint32_t>>& Settings();
    std::optional<uint32_t> Get(std::string_view name, std::string_view keyPath = {}) const;
    void Set(const std::string& name, uint32_t value) { Settings()[name] = value; }
    void SetString(const std::string& name) { Settings()[name] = std::nullopt; }

    std::map<std::string, std::map<std::string, std::optional<uint32_t>>> keys;  // path -> values
    std::vector<std::string> failWritesOf;  // value names whose writes fail
};

class FakeRunEntry : public IRunEntry, Journaling {
  public:
    using Journaling::Journaling;
    std::string ModulePath() override { return "C:\\Program Files\\HVX\\HVX.exe"; }
    bool Write(std::string_view name, std::string_view path) override {
        return m_log.Add("WriteRunEntry " + std::string(name) + " " + std::string(path));
    }
    bool Delete(std::string_view name) override {
        return m_log.Add("DeleteRunEntry " + std::string(name));
    }
};

// A mixer device with optional master (volume, mute) and wave lines.
class FakeMixer : public IMixerDevice, Journaling {
  public:
    struct Control {
        uint32_t id, minimum, maximum, value;
        bool refuseRead = false, refuseWrite = false;
    };
    using Journaling::Journaling;
    uint32_t GetNumDevs() override { return devices; }
    bool Open(uint32_t deviceId) override { return open = m_log.Add("MixerOpen " + Num(deviceId)); }
    bool GetDevCaps() override { return true; }
    bool Close() override { return open = false, m_log.Add("MixerClose"); }
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
};

class FakePower : public IPower, Journaling {
  public:
    using Journaling::Journaling;
    bool EnableShutdownPrivilege() override {
        return m_log.Add("EnableShutdownPrivilege") && !privilegeFails;
    }
    bool ExitWindows(uint32_t flags) override { return m_log.Add("ExitWindowsEx " + Hex(flags)); }
    bool SetSystemPowerState(bool suspend, bool force) override {
        return m_log.Add("SetSystemPowerState " + Num(suspend) + " " + Num(force));
    }

    bool privilegeFails = false;
};

class FakeIndicator : public IVolumeIndicator, Journaling {
  public:
    using Journaling::Journaling;
    void Show(int percent, bool muted) override {
        ++shows;
        if (m_log.stateToo) m_log.Add("Indicator " + Num(percent) + (muted ? " muted" : ""));
    }
    int shows = 0;
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
    FakeIndicator indicator{log};
    Platform platform{window, tray, dialogs, clock, registry, runEntry, mixer, power, indicator};

    FakePlatform() { tray.owner = &window; }
};

}  // namespace hvx::test
