// What one volume hotkey costs HVX itself: OnHotKey on a started CMainFrame whose mixer and
// window do no work, so only HVX's own selection, arithmetic and clamping are timed. A second
// set runs over the journaling fakes of the unit tests, for comparison.
#include <benchmark/benchmark.h>

#include <array>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx {
namespace {

// A mixer with master volume (id 1), mute (2) and wave volume (3), 0..65535, no journal.
class QuietMixer : public IMixerDevice {
  public:
    uint32_t GetNumDevs() override { return 1; }
    bool Open(uint32_t) override { return true; }
    bool GetDevCaps() override { return true; }
    bool Close() override { return true; }
    bool GetLineByComponentType(uint32_t type, uint32_t& lineId) override {
        lineId = type;
        return type == MIXER_LINE_DST_SPEAKERS || type == MIXER_LINE_SRC_WAVEOUT;
    }
    bool GetLineControlByType(uint32_t lineId, uint32_t type, MixerControlInfo& c) override {
        if (type == MIXER_CONTROL_MUTE) {
            if (lineId != MIXER_LINE_DST_SPEAKERS) return false;
            c = {2, 0, 1};
        } else {
            c = {lineId == MIXER_LINE_DST_SPEAKERS ? 1u : 3u, 0, 65535};
        }
        return true;
    }
    bool GetControlValue(uint32_t id, uint32_t& value) override {
        value = values[id];
        return true;
    }
    bool SetControlValue(uint32_t id, uint32_t value) override {
        values[id] = value;
        return true;
    }
    std::array<uint32_t, 4> values{};
};

class QuietWindow : public IMainWindow {
  public:
    bool Create(std::string_view, IMainWindowHandler& handler) override {
        handler.OnCreate();
        return true;
    }
    void Destroy() override {}
    bool SetTimer(unsigned, unsigned) override { return true; }
    bool KillTimer(unsigned) override { return true; }
    bool RegisterHotKey(int, uint32_t, uint32_t) override { return true; }
    bool UnregisterHotKey(int) override { return true; }
    void MessageBeep(uint32_t) override {}
    void SetForeground() override {}
    void SendCommand(int) override {}
    void PostNull() override {}
};

class QuietIndicator : public IVolumeIndicator {
  public:
    void Show(int, bool) override {}
};

struct QuietFrame {
    test::FakePlatform fake;
    QuietMixer mixer;
    QuietWindow window;
    QuietIndicator indicator;
    Platform platform{window,        fake.tray, fake.dialogs, fake.clock, fake.registry,
                      fake.runEntry, mixer,     fake.power,   indicator};
    test::FakeMarker marker;
    CTrayApp app{marker, platform};

    explicit QuietFrame(int32_t mode) {
        app.InitInstance();
        app.MainWnd()->Settings.Mode = mode;
        app.MainWnd()->Settings.VolumeStep = 2800;
    }
};

// Volume up in the middle of the range; Arg is the Mode (0 mixed, 1 master, 2 wave).
void BM_VolumeUpHotkey(benchmark::State& state) {
    QuietFrame frame(static_cast<int32_t>(state.range(0)));
    CMainFrame& main = *frame.app.MainWnd();
    for (auto _ : state) {
        frame.mixer.values[1] = frame.mixer.values[3] = 30000;
        benchmark::DoNotOptimize(main.OnHotKey(HOTKEY_VOLUME_UP));
    }
}
BENCHMARK(BM_VolumeUpHotkey)->Arg(0)->Arg(1)->Arg(2);

void BM_VolumeDownHotkey(benchmark::State& state) {
    QuietFrame frame(static_cast<int32_t>(state.range(0)));
    CMainFrame& main = *frame.app.MainWnd();
    for (auto _ : state) {
        frame.mixer.values[1] = frame.mixer.values[3] = 30000;
        benchmark::DoNotOptimize(main.OnHotKey(HOTKEY_VOLUME_DOWN));
    }
}
BENCHMARK(BM_VolumeDownHotkey)->Arg(0)->Arg(1)->Arg(2);

// Volume up at the top: clamping, the beep and the guard timer every time.
void BM_VolumeUpAtTheTopBeeps(benchmark::State& state) {
    QuietFrame frame(0);
    CMainFrame& main = *frame.app.MainWnd();
    for (auto _ : state) {
        frame.mixer.values[1] = frame.mixer.values[3] = 65535;
        main.LimitBeepGuard = false;
        benchmark::DoNotOptimize(main.OnHotKey(HOTKEY_VOLUME_UP));
    }
}
BENCHMARK(BM_VolumeUpAtTheTopBeeps);

// The menu label goes through the journaling fake tray, most of this cost.
void BM_MuteHotkey(benchmark::State& state) {
    QuietFrame frame(0);
    CMainFrame& main = *frame.app.MainWnd();
    for (auto _ : state) benchmark::DoNotOptimize(main.OnHotKey(HOTKEY_MUTE));
}
BENCHMARK(BM_MuteHotkey);

// The same volume-up hotkey over the unit tests' fakes, which journal every device write as a
// string: an upper bound that includes the journal.
void BM_VolumeUpHotkeyJournaled(benchmark::State& state) {
    test::FakePlatform fake;
    test::FakeMarker marker;
    CTrayApp app(marker, fake.platform);
    app.InitInstance();
    CMainFrame& main = *app.MainWnd();
    main.Settings.Mode = 0;
    main.Settings.VolumeStep = 2800;
    for (auto _ : state) {
        fake.mixer.master.value = fake.mixer.wave.value = 30000;
        benchmark::DoNotOptimize(main.OnHotKey(HOTKEY_VOLUME_UP));
        fake.log.Clear();
        fake.mixer.writes.clear();
    }
}
BENCHMARK(BM_VolumeUpHotkeyJournaled);

}  // namespace
}  // namespace hvx
