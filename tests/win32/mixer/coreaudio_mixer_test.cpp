// CVolumeMixer over the Core Audio mixer, in-process: first over fake COM objects (the calls and
// values the mixer hands them, the default device changing under it, the references it gives
// back), then over the system's own default endpoint. Prints what the system offers, then
// "N passed, N failed"; exits non-zero on any failure.
#include "volume/StreamLevels.h"
#include "volume/VolumeMixer.h"

#include "platform/win32/CoreAudioMixer.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

using hvx::LevelToScalar;
using hvx::win32::CoreAudioMixer;

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what, int line) {
    if (ok) {
        ++g_passed;
    } else {
        ++g_failed;
        std::printf("FAIL line %d: %s\n", line, what);
    }
}

#define CHECK(cond) Check((cond), #cond, __LINE__)

// A method the mixer has no business calling.
#define STUB(name, ...)                                    \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
        return E_NOTIMPL;                                  \
    }

std::vector<const ULONG*> g_referenceCounts;  // of every fake

// The test owns every fake: counting references never frees one, and each count must come back
// to 1 when the mixer is done.
template <class... Interfaces>
struct Fake : Interfaces... {
    Fake() { g_referenceCounts.push_back(&refs); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        ((iid == __uuidof(Interfaces) && (*object = static_cast<Interfaces*>(this))) || ...);
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
};

bool AllReleased() {
    for (const ULONG* count : g_referenceCounts)
        if (*count != 1) return false;
    return true;
}

struct Session final : Fake<IAudioSessionControl, ISimpleAudioVolume> {
    Session(float start, AudioSessionState live) : level(start), state(live) {}
    float level;
    AudioSessionState state;
    int writes = 0;
    HRESULT STDMETHODCALLTYPE GetState(AudioSessionState* value) override {
        *value = state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolume(float value, LPCGUID) override {
        level = value;
        ++writes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolume(float* value) override {
        *value = level;
        return S_OK;
    }
    STUB(GetDisplayName, LPWSTR*);
    STUB(SetDisplayName, LPCWSTR, LPCGUID);
    STUB(GetIconPath, LPWSTR*);
    STUB(SetIconPath, LPCWSTR, LPCGUID);
    STUB(GetGroupingParam, GUID*);
    STUB(SetGroupingParam, LPCGUID, LPCGUID);
    STUB(RegisterAudioSessionNotification, IAudioSessionEvents*);
    STUB(UnregisterAudioSessionNotification, IAudioSessionEvents*);
    STUB(SetMute, WINBOOL, LPCGUID);
    STUB(GetMute, WINBOOL*);
};

struct SessionList final : Fake<IAudioSessionEnumerator> {
    std::vector<Session*> sessions;
    HRESULT STDMETHODCALLTYPE GetCount(int* count) override {
        *count = static_cast<int>(sessions.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSession(int index, IAudioSessionControl** session) override {
        *session = sessions.at(static_cast<size_t>(index));
        (*session)->AddRef();
        return S_OK;
    }
};

struct SessionManager final : Fake<IAudioSessionManager2> {
    SessionList list;
    HRESULT listResult = S_OK;  // Wine's: E_NOTIMPL
    HRESULT STDMETHODCALLTYPE GetSessionEnumerator(IAudioSessionEnumerator** sessions) override {
        if (FAILED(listResult)) return listResult;
        return list.QueryInterface(__uuidof(IAudioSessionEnumerator),
                                   reinterpret_cast<void**>(sessions));
    }
    STUB(GetAudioSessionControl, LPCGUID, DWORD, IAudioSessionControl**);
    STUB(GetSimpleAudioVolume, LPCGUID, DWORD, ISimpleAudioVolume**);
    STUB(RegisterSessionNotification, IAudioSessionNotification*);
    STUB(UnregisterSessionNotification, IAudioSessionNotification*);
    STUB(RegisterDuckNotification, LPCWSTR, IAudioVolumeDuckNotification*);
    STUB(UnregisterDuckNotification, IAudioVolumeDuckNotification*);
};

struct EndpointVolume final : Fake<IAudioEndpointVolume> {
    float level = 0.0f;
    BOOL muted = FALSE;
    HRESULT writeResult = S_OK;  // Wine's: E_NOTIMPL
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT value, LPCGUID) override {
        if (SUCCEEDED(writeResult)) level = value;
        return writeResult;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT* value) override {
        *value = level;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL value, LPCGUID) override {
        muted = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* value) override {
        *value = muted;
        return S_OK;
    }
    STUB(RegisterControlChangeNotify, IAudioEndpointVolumeCallback*);
    STUB(UnregisterControlChangeNotify, IAudioEndpointVolumeCallback*);
    STUB(GetChannelCount, UINT*);
    STUB(SetMasterVolumeLevel, FLOAT, LPCGUID);
    STUB(GetMasterVolumeLevel, FLOAT*);
    STUB(SetChannelVolumeLevel, UINT, FLOAT, LPCGUID);
    STUB(SetChannelVolumeLevelScalar, UINT, FLOAT, LPCGUID);
    STUB(GetChannelVolumeLevel, UINT, FLOAT*);
    STUB(GetChannelVolumeLevelScalar, UINT, FLOAT*);
    STUB(GetVolumeStepInfo, UINT*, UINT*);
    STUB(VolumeStepUp, LPCGUID);
    STUB(VolumeStepDown, LPCGUID);
    STUB(QueryHardwareSupport, DWORD*);
    STUB(GetVolumeRange, FLOAT*, FLOAT*, FLOAT*);
};

struct Device final : Fake<IMMDevice> {
    explicit Device(const wchar_t* name) : id(name) {}
    const wchar_t* id;
    EndpointVolume volume;
    SessionManager manager;
    int volumeActivations = 0;
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** object) override {
        if (iid == __uuidof(IAudioEndpointVolume)) ++volumeActivations;
        if (iid == __uuidof(IAudioEndpointVolume)) return volume.QueryInterface(iid, object);
        return manager.QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* value) override {
        const size_t size = (std::wcslen(id) + 1) * sizeof(wchar_t);
        *value = static_cast<LPWSTR>(CoTaskMemAlloc(size));
        std::memcpy(*value, id, size);
        return S_OK;
    }
    STUB(OpenPropertyStore, DWORD, IPropertyStore**);
    STUB(GetState, DWORD*);
};

struct DeviceEnumerator final : Fake<IMMDeviceEnumerator> {
    Device* playback = nullptr;  // the default; none: no device
    bool otherAsked = false;     // a flow or role other than playback/console
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role,
                                                      IMMDevice** device) override {
        otherAsked = otherAsked || flow != eRender || role != eConsole;
        if (playback == nullptr) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        return playback->QueryInterface(__uuidof(IMMDevice), reinterpret_cast<void**>(device));
    }
    STUB(EnumAudioEndpoints, EDataFlow, DWORD, IMMDeviceCollection**);
    STUB(GetDevice, LPCWSTR, IMMDevice**);
    STUB(RegisterEndpointNotificationCallback, IMMNotificationClient*);
    STUB(UnregisterEndpointNotificationCallback, IMMNotificationClient*);
};

}  // namespace

namespace {

struct System {
    DeviceEnumerator enumerator;
    Device speakers{L"speakers"};
    Device headset{L"headset"};
    Session music{0.5f, AudioSessionStateActive};
    Session chat{0.25f, AudioSessionStateInactive};
    Session gone{1.0f, AudioSessionStateExpired};
    HRESULT factoryResult = S_OK;

    System() {
        speakers.volume.level = 0.25f;
        headset.volume.level = 0.75f;
        speakers.manager.list.sessions = {&music, &chat, &gone};
        enumerator.playback = &speakers;
    }
    CoreAudioMixer::EnumeratorFactory Factory() {
        return [this](IMMDeviceEnumerator** object) {
            if (FAILED(factoryResult)) return factoryResult;
            return enumerator.QueryInterface(__uuidof(IMMDeviceEnumerator),
                                             reinterpret_cast<void**>(object));
        };
    }
};

void CheckOverFakes() {
    System system;
    CoreAudioMixer device(system.Factory());
    hvx::CVolumeMixer mixer(device);
    uint32_t value = 0;
    CHECK(mixer.Open() && mixer.IsOpen() && mixer.DeviceCount == 1);

    // The master: the default device's endpoint, 0..65535, written values read back as written.
    CHECK(mixer.SelectMasterVolume() && mixer.MasterMinimum == 0 && mixer.MasterMaximum == 65535);
    CHECK(mixer.GetVolume(value) && value == 16384);  // 0.25
    CHECK(mixer.SetVolume(40000) && system.speakers.volume.level == LevelToScalar(40000));
    CHECK(mixer.GetVolume(value) && value == 40000);
    CHECK(mixer.SelectMasterMute() && mixer.GetMasterMute(value) && value == 0);
    CHECK(mixer.SetMasterMute(1) && system.speakers.volume.muted == TRUE);
    CHECK(mixer.GetMasterMute(value) && value == 1);
    CHECK(mixer.SetMasterMute(0) && system.speakers.volume.muted == FALSE);
    system.speakers.volume.writeResult = E_NOTIMPL;
    CHECK(mixer.SelectMasterVolume() && !mixer.SetVolume(1000));
    CHECK(mixer.GetVolume(value) && value == 40000);

    // The wave line: the loudest live session; a write scales the others with it.
    CHECK(mixer.SelectWaveVolume() && mixer.WaveMinimum == 0 && mixer.WaveMaximum == 65535);
    CHECK(mixer.GetVolume(value) && value == 32768);  // 0.5; the expired session is not heard
    CHECK(mixer.SetVolume(16384) && system.music.level == LevelToScalar(16384) &&
          system.chat.level == LevelToScalar(8192) && system.gone.writes == 0);
    CHECK(mixer.GetVolume(value) && value == 16384);
    CHECK(device.SetControlValue(CoreAudioMixer::kWaveVolumeControl, 70000) &&
          system.music.level == 1.0f && system.chat.level == LevelToScalar(32768));
    CHECK(system.speakers.volumeActivations == 1);  // kept while the device stays the default

    // A new default device is followed at the next call; the old one is let go.
    system.enumerator.playback = &system.headset;
    CHECK(mixer.SelectMasterVolume() && mixer.GetVolume(value) && value == 49151);  // 0.75
    CHECK(mixer.SetVolume(100) && system.headset.volume.level == LevelToScalar(100));
    CHECK(system.speakers.refs == 1 && system.speakers.volume.refs == 1);
    CHECK(mixer.SelectMasterMute() && mixer.SetMasterMute(1) && system.headset.volume.muted);
    // No session, or sessions that cannot be listed (Wine): no wave line.
    CHECK(!mixer.SelectWaveVolume() && !mixer.GetVolume(value) && !mixer.SetVolume(1));
    system.headset.manager.list.sessions = {&system.music};
    CHECK(mixer.SelectWaveVolume());
    system.headset.manager.listResult = E_NOTIMPL;
    CHECK(!device.GetControlValue(CoreAudioMixer::kWaveVolumeControl, value));
    CHECK(!mixer.SelectWaveVolume());
    // The device gone: nothing to select, no device to count.
    system.enumerator.playback = nullptr;
    CHECK(!mixer.SelectMasterVolume() && !mixer.SelectMasterMute() && device.GetNumDevs() == 0);
    CHECK(!system.enumerator.otherAsked);
    CHECK(mixer.Close() && AllReleased());

    // No device at start, or no enumerator at all: no mixer device, nothing held.
    CHECK(mixer.Open() && !mixer.IsOpen() && mixer.DeviceCount == 0 && AllReleased());
    system.enumerator.playback = &system.speakers;
    system.factoryResult = REGDB_E_CLASSNOTREG;
    CHECK(device.GetNumDevs() == 0 && !device.Open(0));
    system.factoryResult = S_OK;
    CHECK(!device.Open(1) && device.Open(0) && device.Close() && AllReleased());
}

// The system's own default endpoint. Wine keeps the mute but refuses volume writes and lists no
// sessions; whatever the system, a write reports success only when the value is kept.
void CheckOverTheSystem() {
    CoreAudioMixer device;
    hvx::CVolumeMixer mixer(device);
    CHECK(mixer.Open());
    std::printf("devices: %u\n", static_cast<unsigned>(mixer.DeviceCount));
    if (mixer.DeviceCount == 0) {
        CHECK(!mixer.IsOpen() && !mixer.SelectMasterVolume() && !mixer.SelectMasterMute());
        return;
    }
    uint32_t value = 7;
    CHECK(mixer.IsOpen() && mixer.SelectMasterMute());
    CHECK(mixer.SetMasterMute(1) && mixer.GetMasterMute(value) && value == 1);
    CHECK(mixer.SetMasterMute(0) && mixer.GetMasterMute(value) && value == 0);
    uint32_t before = 0;
    CHECK(mixer.SelectMasterVolume() && mixer.GetVolume(before));
    const uint32_t wanted = before == 1234 ? 4321 : 1234;
    const bool written = mixer.SetVolume(wanted);
    CHECK(mixer.GetVolume(value) && written == (value == wanted));
    if (written) mixer.SetVolume(before);
    std::printf("master volume write: %s\n", written ? "kept" : "refused");
    std::printf("wave line: %s\n", mixer.SelectWaveVolume() ? "present" : "absent");
    CHECK(mixer.Close());
}

}  // namespace

int main() {
    hvx::win32::ComApartment com;
    CheckOverFakes();
    CheckOverTheSystem();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
