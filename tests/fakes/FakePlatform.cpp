#include "tests/fakes/FakePlatform.h"

#include <algorithm>
#include <cstdio>

#include "resources/Resource.h"
#include "resources/Strings.h"

namespace hvx::test {

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

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

bool FakeWindow::Create(std::string_view title, IMainWindowHandler& h) {
    m_log.Add("CreateWindow " + std::string(title));
    handler = &h;
    h.OnCreate();
    return m_log.Add("CreateWindow done");
}

bool FakeRegistry::ReadDword(std::string_view keyPath, std::string_view name, uint32_t& value) {
    m_log.Add("ReadDword " + std::string(name));
    const std::optional<uint32_t> found = Get(name, keyPath);
    if (found) value = *found;
    return found.has_value();
}

bool FakeRegistry::WriteDword(std::string_view keyPath, std::string_view name, uint32_t value) {
    m_log.Add("WriteDword " + std::string(name) + " " + Num(value));
    if (std::ranges::find(failWritesOf, name) != failWritesOf.end()) return false;
    keys[std::string(keyPath)][std::string(name)] = value;
    return true;
}

std::map<std::string, std::optional<uint32_t>>& FakeRegistry::Settings() {
    return keys[std::string(LoadString(IDS_REGISTRY_KEY))];
}

std::optional<uint32_t> FakeRegistry::Get(std::string_view name, std::string_view keyPath) const {
    auto key = keys.find(std::string(keyPath.empty() ? LoadString(IDS_REGISTRY_KEY) : keyPath));
    if (key == keys.end()) return std::nullopt;
    auto it = key->second.find(std::string(name));
    return it == key->second.end() ? std::nullopt : it->second;
}

bool FakeMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    const bool master = componentType == MIXER_LINE_DST_SPEAKERS;
    if (!open || !(master || (componentType == MIXER_LINE_SRC_WAVEOUT && hasWaveLine)))
        return false;
    lineId = master ? 10 : 20;
    return true;
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

}  // namespace hvx::test
