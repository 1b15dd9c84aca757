// The portable headers first: windows.h defines IDOK and friends as macros.
#include "resources/Resource.h"
#include "volume/StreamLevels.h"

#include "platform/win32/CoreAudioMixer.h"

#include <audioclient.h>

#include <algorithm>
#include <utility>

namespace hvx::win32 {

using Microsoft::WRL::ComPtr;

namespace {

template <class Interface>
HRESULT Activate(IMMDevice* device, ComPtr<Interface>& object) {
    return device->Activate(__uuidof(Interface), CLSCTX_ALL, nullptr,
                            reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
}

std::vector<uint32_t> Levels(const std::vector<CoreAudioMixer::Session>& sessions) {
    std::vector<uint32_t> levels;
    for (const auto& session : sessions) levels.push_back(session.level);
    return levels;
}

// The device's id, empty when it cannot be read.
std::wstring DeviceId(IMMDevice* device) {
    LPWSTR id = nullptr;
    if (FAILED(device->GetId(&id)) || id == nullptr) return {};
    std::wstring copy(id);
    CoTaskMemFree(id);
    return copy;
}

}  // namespace

CoreAudioMixer::CoreAudioMixer()
    : CoreAudioMixer([](IMMDeviceEnumerator** enumerator) {
          return CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator),
                                  reinterpret_cast<void**>(enumerator));
      }) {}

CoreAudioMixer::CoreAudioMixer(EnumeratorFactory factory) : m_factory(std::move(factory)) {}

CoreAudioMixer::~CoreAudioMixer() {
    Close();
    if (m_apartment && SUCCEEDED(*m_apartment)) CoUninitialize();
}

void CoreAudioMixer::EnterApartment() {
    if (!m_apartment) m_apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

uint32_t CoreAudioMixer::GetNumDevs() {
    EnterApartment();
    // Asked before Open too: an enumerator of its own then, let go of at once.
    ComPtr<IMMDeviceEnumerator> enumerator = m_enumerator;
    if (!enumerator && (FAILED(m_factory(enumerator.GetAddressOf())) || !enumerator)) return 0;
    ComPtr<IMMDevice> device;
    const HRESULT result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    return SUCCEEDED(result) && device ? 1 : 0;
}

bool CoreAudioMixer::Open(uint32_t deviceId) {
    Close();
    EnterApartment();
    if (deviceId != 0) return false;
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(m_factory(enumerator.GetAddressOf())) || !enumerator) return false;
    if (!FindEndpoint(enumerator.Get())) return false;
    m_enumerator = std::move(enumerator);
    return true;
}

bool CoreAudioMixer::GetDevCaps() {
    // Nothing to read that the program would keep.
    return m_enumerator != nullptr;
}

bool CoreAudioMixer::Close() {
    ForgetEndpoint();
    m_enumerator.Reset();
    return true;
}

void CoreAudioMixer::ForgetEndpoint() {
    m_endpointVolume.Reset();
    m_device.Reset();
    m_deviceId.clear();
}

bool CoreAudioMixer::Succeeded(HRESULT result) {
    if (result == AUDCLNT_E_DEVICE_INVALIDATED) ForgetEndpoint();
    return SUCCEEDED(result);
}

bool CoreAudioMixer::FindEndpoint(IMMDeviceEnumerator* enumerator) {
    ComPtr<IMMDevice> device;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device)) || !device) {
        ForgetEndpoint();
        return false;
    }
    std::wstring id = DeviceId(device.Get());
    // Still the same device: keep what was activated on it (some systems keep the mute per
    // endpoint object).
    if (m_endpointVolume && !id.empty() && id == m_deviceId) return true;
    ForgetEndpoint();
    ComPtr<IAudioEndpointVolume> volume;
    if (FAILED(Activate(device.Get(), volume)) || !volume) return false;
    m_device = std::move(device);
    m_endpointVolume = std::move(volume);
    m_deviceId = std::move(id);
    return true;
}

bool CoreAudioMixer::ListSessions(std::vector<Session>& sessions) {
    sessions.clear();
    if (!m_enumerator || !FindEndpoint(m_enumerator.Get())) return false;
    ComPtr<IAudioSessionManager2> manager;
    ComPtr<IAudioSessionEnumerator> list;
    int count = 0;
    if (!Succeeded(Activate(m_device.Get(), manager)) || !manager ||
        !Succeeded(manager->GetSessionEnumerator(&list)) || !list ||
        !Succeeded(list->GetCount(&count)))
        return false;
    for (int i = 0; i < count; ++i) {
        ComPtr<IAudioSessionControl> control;
        if (FAILED(list->GetSession(i, &control)) || !control) continue;
        // An expired session's application has gone; nothing plays through it any more.
        AudioSessionState state = AudioSessionStateInactive;
        if (SUCCEEDED(control->GetState(&state)) && state == AudioSessionStateExpired) continue;
        Session session;
        float level = 0.0f;
        if (FAILED(control.As(&session.volume)) || FAILED(session.volume->GetMasterVolume(&level)))
            continue;
        session.level = ScalarToLevel(level);
        sessions.push_back(std::move(session));
    }
    return !sessions.empty();
}

bool CoreAudioMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    if (!m_enumerator) return false;
    if (componentType == MIXER_LINE_DST_SPEAKERS) {
        if (!FindEndpoint(m_enumerator.Get())) return false;
        lineId = kMasterLine;
        return true;
    }
    std::vector<Session> sessions;
    if (componentType == MIXER_LINE_SRC_WAVEOUT && ListSessions(sessions)) {
        lineId = kWaveLine;
        return true;
    }
    return false;
}

bool CoreAudioMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                          hvx::MixerControlInfo& control) {
    if (!m_enumerator) return false;
    if (lineId == kMasterLine && controlType == MIXER_CONTROL_VOLUME) {
        control = {kMasterVolumeControl, 0, kScalarLevelMaximum};
    } else if (lineId == kMasterLine && controlType == MIXER_CONTROL_MUTE) {
        control = {kMasterMuteControl, 0, 1};
    } else if (lineId == kWaveLine && controlType == MIXER_CONTROL_VOLUME) {
        control = {kWaveVolumeControl, 0, kScalarLevelMaximum};
    } else {
        return false;
    }
    return true;
}

bool CoreAudioMixer::GetControlValue(uint32_t controlId, uint32_t& value) {
    if (!m_enumerator) return false;
    if (controlId == kWaveVolumeControl) {
        std::vector<Session> sessions;
        if (!ListSessions(sessions)) return false;
        return LoudestLevel(Levels(sessions), value);
    }
    if (!FindEndpoint(m_enumerator.Get())) return false;
    if (controlId == kMasterVolumeControl) {
        float level = 0.0f;
        if (!Succeeded(m_endpointVolume->GetMasterVolumeLevelScalar(&level))) return false;
        value = ScalarToLevel(level);
        return true;
    }
    if (controlId == kMasterMuteControl) {
        BOOL muted = FALSE;
        if (!Succeeded(m_endpointVolume->GetMute(&muted))) return false;
        value = muted ? 1 : 0;
        return true;
    }
    return false;
}

bool CoreAudioMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    if (!m_enumerator) return false;
    if (controlId == kWaveVolumeControl) {
        std::vector<Session> sessions;
        if (!ListSessions(sessions)) return false;
        // Above the scale is the top of it; the others scale against the top too.
        const std::vector<uint32_t> scaled =
            ScaleToLoudest(Levels(sessions), std::min(value, kScalarLevelMaximum));
        bool allSet = true;
        for (size_t i = 0; i < sessions.size(); ++i) {
            allSet =
                SUCCEEDED(sessions[i].volume->SetMasterVolume(LevelToScalar(scaled[i]), nullptr)) &&
                allSet;
        }
        return allSet;
    }
    if (!FindEndpoint(m_enumerator.Get())) return false;
    if (controlId == kMasterVolumeControl)
        return Succeeded(
            m_endpointVolume->SetMasterVolumeLevelScalar(LevelToScalar(value), nullptr));
    if (controlId == kMasterMuteControl)
        return Succeeded(m_endpointVolume->SetMute(value != 0 ? TRUE : FALSE, nullptr));
    return false;
}

}  // namespace hvx::win32
