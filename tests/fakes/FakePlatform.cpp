#include "tests/fakes/FakePlatform.h"

#include <algorithm>
#include <cstdio>

#include "resources/Resource.h"
#include "resources/Strings.h"

namespace hvx::test {

namespace {
std::string Num(uint64_t v) {
    return std::to_string(v);
}
std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}
}  // namespace

std::vector<std::string> CallLog::Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

size_t CallLog::Count(const std::string& call) const {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

int CallLog::IndexOf(const std::string& call) const {
    auto it = std::find(calls.begin(), calls.end(), call);
    return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
}

// --- window -----------------------------------------------------------------------------------

bool FakeWindow::Create(std::string_view title, IMainWindowHandler& h) {
    m_log.Add("CreateWindow " + std::string(title));
    handler = &h;
    h.OnCreate();
    m_log.Add("CreateWindow done");
    return true;
}

void FakeWindow::Destroy() {
    m_log.Add("DestroyWindow");
    destroyed = true;
    timers.clear();
}

bool FakeWindow::SetTimer(unsigned id, unsigned ms) {
    m_log.Add("SetTimer " + Num(id) + " " + Num(ms));
    timers[id] = ms;
    return true;
}

bool FakeWindow::KillTimer(unsigned id) {
    m_log.Add("KillTimer " + Num(id));
    return timers.erase(id) != 0;
}

bool FakeWindow::RegisterHotKey(int id, uint32_t mods, uint32_t key) {
    m_log.Add("RegisterHotKey " + Num(id) + " " + Hex(mods) + " " + Hex(key));
    return true;
}

bool FakeWindow::UnregisterHotKey(int id) {
    m_log.Add("UnregisterHotKey " + Num(id));
    return true;
}

void FakeWindow::MessageBeep(uint32_t type) {
    m_log.Add("MessageBeep " + Hex(type));
    ++beeps;
}

void FakeWindow::SetForeground() {
    m_log.Add("SetForeground");
}

void FakeWindow::SendCommand(int id) {
    m_log.Add("SendCommand " + Num(id));
    if (handler) handler->OnCommand(id);
}

void FakeWindow::PostNull() {
    m_log.Add("PostNull");
}

// --- tray -------------------------------------------------------------------------------------

bool FakeTray::CreateMessageWindow(ITrayHandler& h) {
    m_log.Add("CreateTrayWindow");
    handler = &h;
    return true;
}

bool FakeTray::AddIcon(const NotifyIconData& data) {
    m_log.Add("AddIcon " + Num(data.id) + " " + Hex(data.callbackMessage) + " '" + data.tip + "'");
    return true;
}

bool FakeTray::DeleteIcon(const NotifyIconData& data) {
    m_log.Add("DeleteIcon " + Num(data.id));
    return true;
}

bool FakeTray::CreatePopupMenu() {
    m_log.Add("CreatePopupMenu");
    return true;
}

bool FakeTray::AppendMenuItem(int, std::string_view) {
    return true;
}

bool FakeTray::AppendMenuSeparator() {
    return true;
}

bool FakeTray::ModifyMenuItem(int id, std::string_view text) {
    m_log.Add("ModifyMenu " + Num(id) + " " + std::string(text));
    return true;
}

bool FakeTray::SetMenuDefaultItem(int id) {
    m_log.Add("SetMenuDefaultItem " + Num(id));
    return true;
}

bool FakeTray::TrackPopupMenu(unsigned flags, ScreenPoint at) {
    m_log.Add("TrackPopupMenu " + Num(flags) + " " + Num(at.x) + "," + Num(at.y));
    ++menusShown;
    // A chosen item reaches the main window as a command once the menu has closed.
    if (pickOnTrack != 0 && owner) owner->SendCommand(pickOnTrack);
    return true;
}

// --- registry ---------------------------------------------------------------------------------

bool FakeRegistry::ReadDword(std::string_view keyPath, std::string_view name, uint32_t& value) {
    m_log.Add("ReadDword " + std::string(name));
    auto key = keys.find(std::string(keyPath));
    if (key == keys.end()) return false;
    auto it = key->second.find(std::string(name));
    if (it == key->second.end() || !it->second.isDword) return false;
    value = it->second.dword;
    return true;
}

bool FakeRegistry::WriteDword(std::string_view keyPath, std::string_view name, uint32_t value) {
    m_log.Add("WriteDword " + std::string(name) + " " + Num(value));
    if (std::find(failWritesOf.begin(), failWritesOf.end(), name) != failWritesOf.end())
        return false;
    keys[std::string(keyPath)][std::string(name)] = Value{true, value, {}};
    return true;
}

std::optional<uint32_t> FakeRegistry::Get(const std::string& name) const {
    auto key = keys.find(std::string(LoadString(IDS_REGISTRY_KEY)));
    if (key == keys.end()) return std::nullopt;
    auto it = key->second.find(name);
    if (it == key->second.end() || !it->second.isDword) return std::nullopt;
    return it->second.dword;
}

void FakeRegistry::Set(const std::string& name, uint32_t value) {
    keys[std::string(LoadString(IDS_REGISTRY_KEY))][name] = Value{true, value, {}};
}

void FakeRegistry::SetString(const std::string& name, const std::string& text) {
    keys[std::string(LoadString(IDS_REGISTRY_KEY))][name] = Value{false, 0, text};
}

// --- run entry --------------------------------------------------------------------------------

bool FakeRunEntry::Write(std::string_view name, std::string_view path) {
    m_log.Add("WriteRunEntry " + std::string(name) + " " + std::string(path));
    entries[std::string(name)] = path;
    return true;
}

bool FakeRunEntry::Delete(std::string_view name) {
    m_log.Add("DeleteRunEntry " + std::string(name));
    return entries.erase(std::string(name)) != 0;
}

// --- mixer ------------------------------------------------------------------------------------

FakeMixer::FakeMixer(CallLog& log) : m_log(log) {}

bool FakeMixer::Open(uint32_t deviceId) {
    m_log.Add("MixerOpen " + Num(deviceId));
    open = true;
    return true;
}

bool FakeMixer::Close() {
    m_log.Add("MixerClose");
    open = false;
    return true;
}

bool FakeMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    if (!open) return false;
    if (componentType == MIXER_LINE_DST_SPEAKERS) {
        lineId = 10;
        return true;
    }
    if (componentType == MIXER_LINE_SRC_WAVEOUT && hasWaveLine) {
        lineId = 20;
        return true;
    }
    return false;
}

bool FakeMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                     MixerControlInfo& control) {
    const Control* c = nullptr;
    if (lineId == 10 && controlType == MIXER_CONTROL_VOLUME) c = &master;
    if (lineId == 10 && controlType == MIXER_CONTROL_MUTE && hasMuteControl) c = &mute;
    if (lineId == 20 && controlType == MIXER_CONTROL_VOLUME) c = &wave;
    if (!c) return false;
    control = {c->id, c->minimum, c->maximum};
    return true;
}

FakeMixer::Control* FakeMixer::Find(uint32_t controlId) {
    if (controlId == master.id) return &master;
    if (controlId == mute.id && hasMuteControl) return &mute;
    if (controlId == wave.id && hasWaveLine) return &wave;
    return nullptr;
}

bool FakeMixer::GetControlValue(uint32_t controlId, uint32_t& value) {
    Control* c = open ? Find(controlId) : nullptr;
    if (!c || c->refuseRead) return false;
    value = c->value;
    return true;
}

bool FakeMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    m_log.Add("MixerSet " + Num(controlId) + " " + Num(value));
    Control* c = open ? Find(controlId) : nullptr;
    if (!c || c->refuseWrite) return false;
    c->value = value;
    writes.emplace_back(controlId, value);
    return true;
}

// --- power ------------------------------------------------------------------------------------

bool FakePower::EnableShutdownPrivilege() {
    m_log.Add("EnableShutdownPrivilege");
    return !privilegeFails;
}

bool FakePower::ExitWindows(uint32_t flags) {
    m_log.Add("ExitWindowsEx " + Hex(flags));
    return true;
}

bool FakePower::SetSystemPowerState(bool suspend, bool force) {
    m_log.Add(std::string("SetSystemPowerState ") + (suspend ? "1" : "0") + " " +
              (force ? "1" : "0"));
    return true;
}

}  // namespace hvx::test
