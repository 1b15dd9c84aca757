// CVolumeMixer over the WINMM mixer of this process: open, the three controls, values written
// and read back, and the closed-state rules. Prints what the device offers, then
// "N passed, N failed"; exits non-zero on any failure.
//
// Without a mixer device (mixerGetNumDevs 0) it checks the no-device rules instead. A wave
// control that accepts writes but does not keep them (Wine's) is reported, not failed.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <cstdio>

#include "platform/win32/WinmmMixer.h"
#include "volume/VolumeMixer.h"

namespace {

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

// A value inside the bounds that differs from current.
uint32_t OtherValue(uint32_t minimum, uint32_t maximum, uint32_t current) {
    const uint32_t third = minimum + (maximum - minimum) / 3;
    return third != current ? third : minimum + (maximum - minimum) / 2;
}

// Messages the mixer posted to the callback window since the last call.
int PumpMixerNotifications(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        if (msg.message == MM_MIXM_CONTROL_CHANGE || msg.message == MM_MIXM_LINE_CHANGE) ++count;
    }
    return count;
}

void CheckWithoutDevice(hvx::CVolumeMixer& mixer) {
    CHECK(mixer.Open());
    CHECK(!mixer.IsOpen());
    CHECK(!mixer.SelectMasterVolume());
    CHECK(!mixer.SelectWaveVolume());
    CHECK(!mixer.SelectMasterMute());
    uint32_t value = 7;
    CHECK(!mixer.GetVolume(value));
    CHECK(!mixer.SetVolume(1));
    CHECK(!mixer.GetMasterMute(value));
    CHECK(value == 7);
    CHECK(mixer.Close());
    CHECK(mixer.Close());
}

void CheckWithDevice(hvx::CVolumeMixer& mixer, hvx::win32::WinmmMixer& device, HWND window) {
    CHECK(mixer.Open());
    CHECK(mixer.IsOpen());
    const MIXERCAPSA& caps = device.DeviceCaps();
    std::printf("device 0: \"%s\", %lu destination(s)\n", caps.szPname,
                static_cast<unsigned long>(caps.cDestinations));
    // Nothing is known about the lines before they are selected.
    CHECK(mixer.MasterMinimum == 0 && mixer.MasterMaximum == 0);
    CHECK(mixer.WaveMinimum == 0 && mixer.WaveMaximum == 0);
    uint32_t value = 0;
    CHECK(!mixer.GetVolume(value));

    // Master volume.
    const bool master = mixer.SelectMasterVolume();
    CHECK(master);
    std::printf("master volume: %s, bounds %u..%u, control %u\n", master ? "present" : "absent",
                mixer.MasterMinimum, mixer.MasterMaximum, mixer.VolumeControlId);
    uint32_t original = 0;
    if (master) {
        CHECK(mixer.MasterMaximum > mixer.MasterMinimum);
        CHECK(mixer.GetVolume(original));
        std::printf("master volume now %u\n", original);
        const uint32_t target = OtherValue(mixer.MasterMinimum, mixer.MasterMaximum, original);
        CHECK(mixer.SetVolume(target));
        CHECK(mixer.GetVolume(value) && value == target);
        CHECK(mixer.SetVolume(mixer.MasterMaximum));
        CHECK(mixer.GetVolume(value) && value == mixer.MasterMaximum);
        CHECK(mixer.SetVolume(target));
    }
    std::printf("notifications to the window after master writes: %d\n",
                PumpMixerNotifications(window));

    // Master mute.
    const bool mute = mixer.SelectMasterMute();
    CHECK(mute);
    std::printf("master mute: %s, control %u\n", mute ? "present" : "absent", mixer.MasterMuteId);
    if (mute) {
        uint32_t state = 99;
        CHECK(mixer.GetMasterMute(state));
        std::printf("master mute now %u\n", state);
        CHECK(mixer.SetMasterMute(1));
        CHECK(mixer.GetMasterMute(state) && state != 0);
        CHECK(mixer.SetMasterMute(0));
        CHECK(mixer.GetMasterMute(state) && state == 0);
    }

    // Wave volume: its bounds are its own and the master's stay as they were.
    const uint32_t masterMin = mixer.MasterMinimum, masterMax = mixer.MasterMaximum;
    const bool wave = mixer.SelectWaveVolume();
    std::printf("wave volume: %s, bounds %u..%u, control %u\n", wave ? "present" : "absent",
                mixer.WaveMinimum, mixer.WaveMaximum, wave ? mixer.VolumeControlId : 0u);
    CHECK(mixer.MasterMinimum == masterMin && mixer.MasterMaximum == masterMax);
    if (wave) {
        uint32_t current = 0;
        CHECK(mixer.GetVolume(current));
        std::printf("wave volume now %u\n", current);
        const uint32_t target = OtherValue(mixer.WaveMinimum, mixer.WaveMaximum, current);
        const bool written = mixer.SetVolume(target);
        uint32_t back = 0;
        const bool read = mixer.GetVolume(back);
        std::printf("wave write %s, read back %s %u (wrote %u)\n", written ? "accepted" : "refused",
                    read ? "ok" : "failed", back, target);
        CHECK(written && read);
        // Wine's wave controls accept writes without keeping them; a real device keeps them.
        if (back != target)
            std::printf("note: the wave control does not keep its value (a stub)\n");
    } else {
        // A failed selection leaves no control current: the master must not be touched.
        CHECK(!mixer.GetVolume(value));
        CHECK(!mixer.SetVolume(0));
    }
    if (master) {
        CHECK(mixer.SelectMasterVolume());
        CHECK(mixer.GetVolume(value));
        CHECK(value != 0 || mixer.MasterMinimum == 0);
        CHECK(mixer.SetVolume(original));  // leave the master as found
    }

    // Closing, twice, and the closed state.
    CHECK(mixer.Close());
    CHECK(mixer.Close());
    CHECK(!mixer.IsOpen());
    CHECK(!mixer.SelectMasterVolume());
    CHECK(!mixer.SelectMasterMute());
    CHECK(!mixer.GetVolume(value));
    CHECK(!mixer.SetVolume(1));
    CHECK(!mixer.GetMasterMute(value));
    CHECK(!mixer.SetMasterMute(1));
    CHECK(mixer.MasterMinimum == masterMin && mixer.MasterMaximum == masterMax);  // kept

    // Opening again starts afresh.
    CHECK(mixer.Open());
    CHECK(mixer.MasterMaximum == 0 && mixer.WaveMaximum == 0 && mixer.VolumeControlId == 0);
    CHECK(mixer.Close());

    // The device itself, outside CVolumeMixer: unknown lines and a closed handle.
    uint32_t lineId = 0;
    CHECK(!device.GetLineByComponentType(0x1008, lineId));  // closed
    CHECK(device.Open(0));
    CHECK(!device.GetLineByComponentType(MIXERLINE_COMPONENTTYPE_DST_TELEPHONE, lineId));
    CHECK(device.Close());
}

}  // namespace

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "winmm mixer test", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    CHECK(window != nullptr);
    hvx::win32::WinmmMixer device([window] { return window; });
    hvx::CVolumeMixer mixer(device);

    const UINT devices = mixerGetNumDevs();
    std::printf("mixer devices: %u\n", devices);
    if (devices == 0)
        CheckWithoutDevice(mixer);
    else
        CheckWithDevice(mixer, device, window);

    if (window) DestroyWindow(window);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
