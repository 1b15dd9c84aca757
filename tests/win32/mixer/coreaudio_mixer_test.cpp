// CVolumeMixer over the Core Audio mixer, in-process: over fake COM objects (the calls and values
// it hands them, a new default device, one that appears later, the references it gives back),
// then over the system's own endpoint. Prints what the system offers, then "N passed, N failed";
// non-zero exit on a failure.
#include "volume/StreamLevels.h"
#include "volume/VolumeMixer.h"

#include "platform/win32/CoreAudioMixer.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using hvx::LevelToScalar;
using hvx::win32::CoreAudioMixer;

int g_passed = 0, g_failed = 0;
#define CHECK(cond) \
    ((cond) ? ++g_passed : (std::printf("FAIL line %d: %s\n", __LINE__, #cond), ++g_failed))

// clang-format off
#define METHOD(name, ...) HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override
#define STUB(name, ...) METHOD(name, __VA_ARGS__) { return E_NOTIMPL; }  // no business of the mixer

template <class T, class V>
HRESULT Put(T* to, V value) { return *to = static_cast<T>(value), S_OK; }

// One more reference to the fake, as the interface asked for.
template <class Interface, class Object>
HRESULT Give(Object& fake, Interface** to) {
    return fake.QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(to));
}

std::vector<const ULONG*> g_refs;  // of every fake

// The test owns every fake: counting references never frees one, and each count must come back
// to 1 when the mixer is done.
template <class... Interfaces>
struct Fake : Interfaces... {
    Fake() { g_refs.push_back(&refs); }
    METHOD(QueryInterface, REFIID iid, void** object) {
        *object = nullptr;
        ((iid == __uuidof(Interfaces) && (*object = static_cast<Interfaces*>(this))) || ...);
        return *object != nullptr ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
};

const auto AllReleased = [] { return std::ranges::all_of(g_refs, [](auto n) { return *n == 1; }); };

struct Session final : Fake<IAudioSessionControl, ISimpleAudioVolume> {
    Session(float start, AudioSessionState live) : level(start), state(live) {}
    float level; AudioSessionState state;
    METHOD(GetState, AudioSessionState* value) { return Put(value, state); }
    METHOD(GetMasterVolume, float* value) { return Put(value, level); }
    METHOD(SetMasterVolume, float value, LPCGUID) { return Put(&level, value); }
    STUB(GetDisplayName, LPWSTR*) STUB(SetDisplayName, LPCWSTR, LPCGUID) STUB(GetMute, WINBOOL*)
    STUB(GetIconPath, LPWSTR*) STUB(SetIconPath, LPCWSTR, LPCGUID) STUB(SetMute, WINBOOL, LPCGUID)
    STUB(GetGroupingParam, GUID*) STUB(SetGroupingParam, LPCGUID, LPCGUID)
    STUB(RegisterAudioSessionNotification, IAudioSessionEvents*)
    STUB(UnregisterAudioSessionNotification, IAudioSessionEvents*)
};

struct SessionList final : Fake<IAudioSessionEnumerator> {
    std::vector<Session*> sessions;
    METHOD(GetCount, int* count) { return Put(count, sessions.size()); }
    METHOD(GetSession, int index, IAudioSessionControl** session) {
        return Give(*sessions.at(static_cast<size_t>(index)), session);
    }
};

struct SessionManager final : Fake<IAudioSessionManager2> {
    SessionList list;
    HRESULT listResult = S_OK;  // Wine's: E_NOTIMPL
    METHOD(GetSessionEnumerator, IAudioSessionEnumerator** sessions) {
        return FAILED(listResult) ? listResult : Give(list, sessions);
    }
    STUB(GetAudioSessionControl, LPCGUID, DWORD, IAudioSessionControl**)
    STUB(GetSimpleAudioVolume, LPCGUID, DWORD, ISimpleAudioVolume**)
    STUB(RegisterSessionNotification, IAudioSessionNotification*)
    STUB(UnregisterSessionNotification, IAudioSessionNotification*)
    STUB(RegisterDuckNotification, LPCWSTR, IAudioVolumeDuckNotification*)
    STUB(UnregisterDuckNotification, IAudioVolumeDuckNotification*)
};

struct EndpointVolume final : Fake<IAudioEndpointVolume> {
    float level = 0.0f; BOOL muted = FALSE;
    HRESULT writeResult = S_OK;  // Wine's: E_NOTIMPL
    METHOD(SetMasterVolumeLevelScalar, FLOAT value, LPCGUID) {
        return SUCCEEDED(writeResult) ? Put(&level, value) : writeResult;
    }
    METHOD(GetMasterVolumeLevelScalar, FLOAT* value) { return Put(value, level); }
    METHOD(SetMute, WINBOOL value, LPCGUID) { return Put(&muted, value); }
    METHOD(GetMute, WINBOOL* value) { return Put(value, muted); }
    STUB(RegisterControlChangeNotify, IAudioEndpointVolumeCallback*) STUB(GetChannelCount, UINT*)
    STUB(UnregisterControlChangeNotify, IAudioEndpointVolumeCallback*)
    STUB(GetMasterVolumeLevel, FLOAT*) STUB(SetChannelVolumeLevel, UINT, FLOAT, LPCGUID)
    STUB(SetChannelVolumeLevelScalar, UINT, FLOAT, LPCGUID) STUB(GetVolumeStepInfo, UINT*, UINT*)
    STUB(GetChannelVolumeLevel, UINT, FLOAT*) STUB(GetChannelVolumeLevelScalar, UINT, FLOAT*)
    STUB(VolumeStepUp, LPCGUID) STUB(VolumeStepDown, LPCGUID) STUB(QueryHardwareSupport, DWORD*)
    STUB(GetVolumeRange, FLOAT*, FLOAT*, FLOAT*) STUB(SetMasterVolumeLevel, FLOAT, LPCGUID)
};

struct Device final : Fake<IMMDevice> {
    Device(const wchar_t* name, float level, std::vector<Session*> sessions) : id(name) {
        volume.level = level;
        manager.list.sessions = sessions;
    }
    const wchar_t* id;
    EndpointVolume volume;
    SessionManager manager;
    int volumeActivations = 0;
    METHOD(Activate, REFIID iid, DWORD, PROPVARIANT*, void** object) {
        if (iid != __uuidof(IAudioEndpointVolume)) return manager.QueryInterface(iid, object);
        return ++volumeActivations, volume.QueryInterface(iid, object);
    }
    METHOD(GetId, LPWSTR* value) { return SHStrDupW(id, value); }  // CoTaskMemAlloc'ed
    STUB(OpenPropertyStore, DWORD, IPropertyStore**) STUB(GetState, DWORD*)
};

struct DeviceEnumerator final : Fake<IMMDeviceEnumerator> {
    explicit DeviceEnumerator(Device* device) : playback(device) {}
    Device* playback;         // the default; none: no device
    bool otherAsked = false;  // a flow or role other than playback/console
    METHOD(GetDefaultAudioEndpoint, EDataFlow flow, ERole role, IMMDevice** device) {
        otherAsked = otherAsked || flow != eRender || role != eConsole;
        return playback ? Give(*playback, device) : HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    STUB(EnumAudioEndpoints, EDataFlow, DWORD, IMMDeviceCollection**)
    STUB(GetDevice, LPCWSTR, IMMDevice**)
    STUB(RegisterEndpointNotificationCallback, IMMNotificationClient*)
    STUB(UnregisterEndpointNotificationCallback, IMMNotificationClient*)
};
// clang-format on

struct System {
    Session music{0.5f, AudioSessionStateActive};
    Session chat{0.25f, AudioSessionStateInactive};
    Session gone{1.0f, AudioSessionStateExpired};
    Device speakers{L"speakers", 0.25f, {&music, &chat, &gone}};
    Device headset{L"headset", 0.75f, {}};
    DeviceEnumerator enumerator{&speakers};
    HRESULT factoryResult = S_OK;
};

void CheckOverFakes() {
    System system;
    CoreAudioMixer device([&](IMMDeviceEnumerator** to) {
        return FAILED(system.factoryResult) ? system.factoryResult : Give(system.enumerator, to);
    });
    hvx::CVolumeMixer mixer(device);
    uint32_t value = 0;
    const auto reads = [&](uint32_t level) { return mixer.GetVolume(value) && value == level; };
    EndpointVolume& speakers = system.speakers.volume;
    CHECK(mixer.Open() && mixer.IsOpen() && mixer.DeviceCount == 1);

    // The master: the default device's endpoint, 0..65535, written values read back as written.
    CHECK(mixer.SelectMasterVolume() && mixer.MasterMinimum == 0 && mixer.MasterMaximum == 65535);
    CHECK(reads(16384));  // 0.25
    CHECK(mixer.SetVolume(40000) && speakers.level == LevelToScalar(40000) && reads(40000));
    CHECK(mixer.SelectMasterMute() && mixer.GetMasterMute(value) && value == 0);
    CHECK(mixer.SetMasterMute(1) && speakers.muted && mixer.GetMasterMute(value) && value == 1);
    speakers.writeResult = E_NOTIMPL;
    CHECK(mixer.SelectMasterVolume() && !mixer.SetVolume(1000) && reads(40000));

    // The wave line: the loudest live session; a write scales the others with it.
    CHECK(mixer.SelectWaveVolume() && mixer.WaveMinimum == 0 && mixer.WaveMaximum == 65535);
    CHECK(reads(32768));  // 0.5; the expired session is not heard
    CHECK(mixer.SetVolume(16384) && system.music.level == LevelToScalar(16384) &&
          system.chat.level == LevelToScalar(8192) && system.gone.level == 1.0f && reads(16384));
    CHECK(device.SetControlValue(CoreAudioMixer::kWaveVolumeControl, 70000) &&
          system.music.level == 1.0f && system.chat.level == LevelToScalar(32768));
    CHECK(system.speakers.volumeActivations == 1);  // kept while the device stays the default

    // A new default device is followed at the next call; the old one is let go.
    system.enumerator.playback = &system.headset;
    CHECK(mixer.SelectMasterVolume() && reads(49151));  // 0.75
    CHECK(mixer.SetVolume(100) && system.headset.volume.level == LevelToScalar(100));
    CHECK(system.speakers.refs == 1 && speakers.refs == 1);
    CHECK(mixer.SelectMasterMute() && mixer.SetMasterMute(1) && system.headset.volume.muted);
    // No session, or sessions that cannot be listed (Wine): no wave line.
    CHECK(!mixer.SelectWaveVolume() && !mixer.GetVolume(value) && !mixer.SetVolume(1));
    system.headset.manager.list.sessions = {&system.music};
    CHECK(mixer.SelectWaveVolume());
    system.headset.manager.listResult = E_NOTIMPL;
    CHECK(!device.GetControlValue(CoreAudioMixer::kWaveVolumeControl, value) &&
          !mixer.SelectWaveVolume());
    // The device gone: nothing to select, no device to count.
    system.enumerator.playback = nullptr;
    CHECK(!mixer.SelectMasterVolume() && !mixer.SelectMasterMute() && device.GetNumDevs() == 0);
    CHECK(!system.enumerator.otherAsked && mixer.Close() && AllReleased());

    // No device at start: nothing held or selectable until one appears, which the next
    // selection opens; after Close nothing is opened again.
    CHECK(mixer.Open() && !mixer.IsOpen() && mixer.DeviceCount == 0 && !mixer.SelectMasterMute() &&
          AllReleased());
    system.enumerator.playback = &system.speakers;
    CHECK(mixer.SelectMasterMute() && mixer.IsOpen() && mixer.SetMasterMute(0) && !speakers.muted);
    CHECK(mixer.SelectMasterVolume() && reads(40000));
    CHECK(mixer.Close() && !mixer.SelectMasterVolume() && AllReleased());
    // No enumerator at all: no mixer device.
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
    uint32_t value = 7;
    CHECK(mixer.Open() && mixer.IsOpen() && mixer.SelectMasterMute());
    CHECK(mixer.SetMasterMute(1) && mixer.GetMasterMute(value) && value == 1);
    CHECK(mixer.SetMasterMute(0) && mixer.GetMasterMute(value) && value == 0);
    uint32_t before = 0;
    CHECK(mixer.SelectMasterVolume() && mixer.GetVolume(before));
    const uint32_t wanted = before == 1234 ? 4321 : 1234;
    const bool written = mixer.SetVolume(wanted);
    CHECK(mixer.GetVolume(value) && written == (value == wanted));
    if (written) mixer.SetVolume(before);
    std::printf("master volume write: %s\nwave line: %s\n", written ? "kept" : "refused",
                mixer.SelectWaveVolume() ? "present" : "absent");
    CHECK(mixer.Close());
}

}  // namespace

int main() {
    CheckOverFakes();
    CheckOverTheSystem();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
