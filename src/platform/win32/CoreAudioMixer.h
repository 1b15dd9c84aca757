// The mixer device on Core Audio: the master line is the default playback device's endpoint
// volume and mute, the wave line is the audio sessions (the applications) playing on it. The
// WINMM mixer cannot serve here: since Vista its controls belong to the calling process's own
// session, and HVX plays no sound of its own.
#pragma once

// clang-format off
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <audiopolicy.h>
#include <wrl/client.h>
// clang-format on

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/MixerDevice.h"

namespace hvx::win32 {

// One device (0) while the system has a default playback device. The default is asked for at
// every call, so a new default (a headset plugged in, a change in Sound settings) is followed at
// once; what was activated on a device is kept while it stays the default. Values are 0..65535
// (a scalar 0.0..1.0 scaled), the mute 0 or 1.
//
// Every call comes from one thread, the GUI thread, which the first call puts in a single-threaded
// COM apartment, left when the object goes. Not sooner: entering one creates a hidden window, and
// a second instance of HVX must leave without any.
class CoreAudioMixer final : public hvx::IMixerDevice {
  public:
    using EnumeratorFactory = std::function<HRESULT(IMMDeviceEnumerator** enumerator)>;

    static constexpr uint32_t kMasterLine = 1;
    static constexpr uint32_t kWaveLine = 2;
    static constexpr uint32_t kMasterVolumeControl = 1;
    static constexpr uint32_t kMasterMuteControl = 2;
    static constexpr uint32_t kWaveVolumeControl = 3;

    // The system's device enumerator (CoCreateInstance).
    CoreAudioMixer();
    explicit CoreAudioMixer(EnumeratorFactory factory);
    ~CoreAudioMixer() override;
    CoreAudioMixer(const CoreAudioMixer&) = delete;
    CoreAudioMixer& operator=(const CoreAudioMixer&) = delete;

    uint32_t GetNumDevs() override;
    bool Open(uint32_t deviceId) override;
    bool GetDevCaps() override;
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              hvx::MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

    struct Session {
        Microsoft::WRL::ComPtr<ISimpleAudioVolume> volume;
        uint32_t level = 0;  // 0..65535
    };

  private:
    // Brings m_device and m_endpointVolume to the current default device; false when there is
    // none or its volume cannot be reached.
    bool FindEndpoint(IMMDeviceEnumerator* enumerator);
    // The live sessions of the default device with their levels; false when there are none or
    // they cannot be listed.
    bool ListSessions(std::vector<Session>& sessions);
    // Lets go of the device when a call says it has gone away, so the next call finds it anew.
    bool Succeeded(HRESULT result);
    void ForgetEndpoint();
    void EnterApartment();

    EnumeratorFactory m_factory;
    std::optional<HRESULT> m_apartment;  // CoInitializeEx's answer, once asked
    Microsoft::WRL::ComPtr<IMMDeviceEnumerator> m_enumerator;  // held while open
    Microsoft::WRL::ComPtr<IMMDevice> m_device;
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> m_endpointVolume;
    std::wstring m_deviceId;
};

}  // namespace hvx::win32
