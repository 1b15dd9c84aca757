// The volume commands and hotkeys.
//
// Volume values, bounds and the step are unsigned 32-bit numbers in the device's own scale.
// Sums and differences wrap modulo 2^32, so a step larger than the value on the way down lands
// above the value itself and the line goes to its minimum.
//
// A level above the line's maximum (a sound server's over-amplification, set by another
// program) is the user's: Volume Up never lowers it and never raises anything past the maximum,
// and Volume Down takes one step from where it is.
#include <cstdint>

#include "resources/Resource.h"
#include "shell/MainFrame.h"
#include "volume/AdvancedOptionsDlg.h"

namespace hvx {

namespace {

enum class Line { Master, Wave };

bool Select(CVolumeMixer& mixer, Line line) {
    return line == Line::Master ? mixer.SelectMasterVolume() : mixer.SelectWaveVolume();
}

uint32_t Minimum(const CVolumeMixer& mixer, Line line) {
    return line == Line::Master ? mixer.MasterMinimum : mixer.WaveMinimum;
}

uint32_t Maximum(const CVolumeMixer& mixer, Line line) {
    return line == Line::Master ? mixer.MasterMaximum : mixer.WaveMaximum;
}

// Selects the line and reads its volume; false when either fails.
bool ReadLine(CVolumeMixer& mixer, Line line, uint32_t& value) {
    Select(mixer, line);
    return mixer.GetVolume(value);
}

void WriteLine(CVolumeMixer& mixer, Line line, uint32_t value) {
    Select(mixer, line);
    mixer.SetVolume(value);
}

// value + step, when it stays within the line's bounds. A sum that passes 2^32 has gone past
// any maximum, even if it wrapped back into the range.
bool UpWithin(const CVolumeMixer& mixer, Line line, uint32_t value, uint32_t step,
              uint32_t& result) {
    result = value + step;
    return result >= value && result >= Minimum(mixer, line) && result <= Maximum(mixer, line);
}

// value - step, when it does not wrap and stays at or above the line's minimum. It may still be
// above the maximum when value was.
bool DownWithin(const CVolumeMixer& mixer, Line line, uint32_t value, uint32_t step,
                uint32_t& result) {
    result = value - step;
    return result <= value && result >= Minimum(mixer, line);
}

// A line at or past its top on the way up: set to its maximum, unless it is above it already,
// where it stays.
void HoldAtTop(CVolumeMixer& mixer, Line line, uint32_t value) {
    if (value <= Maximum(mixer, line)) WriteLine(mixer, line, Maximum(mixer, line));
}

// One line takes the whole step up from value, held at its top when it would pass it.
// True when it hit the top.
bool StepUp(CVolumeMixer& mixer, Line line, uint32_t value, uint32_t step) {
    uint32_t next = 0;
    if (UpWithin(mixer, line, value, step, next)) {
        WriteLine(mixer, line, next);
        return false;
    }
    HoldAtTop(mixer, line, value);
    return true;
}

void StepDown(CVolumeMixer& mixer, Line line, uint32_t value, uint32_t step) {
    uint32_t next = 0;
    WriteLine(mixer, line,
              DownWithin(mixer, line, value, step, next) ? next : Minimum(mixer, line));
}

// The line that the single-line modes drive: 1 is the master, anything but 0 and 1 the wave.
Line SingleLine(int32_t mode) {
    return mode == 1 ? Line::Master : Line::Wave;
}

}  // namespace

void CMainFrame::OnSaveVolumeLevel() {
    uint32_t value = 0;
    if (ReadLine(Mixer, Line::Wave, value)) Settings.PreWaveVolume = static_cast<int32_t>(value);
    if (ReadLine(Mixer, Line::Master, value))
        Settings.PreMasterVolume = static_cast<int32_t>(value);
    // Saved even when nothing could be read, like every other settings change.
    SaveSettings();
}

void CMainFrame::OnUseSavedVolumeLevel() {
    WriteLine(Mixer, Line::Master, static_cast<uint32_t>(Settings.PreMasterVolume));
    WriteLine(Mixer, Line::Wave, static_cast<uint32_t>(Settings.PreWaveVolume));
}

void CMainFrame::OnRestoreDefaultVolumeLevel() {
    // The defaults become the saved levels too, so Use Saved brings them back.
    Settings.PreMasterVolume = Settings.DefaultMasterVolume;
    WriteLine(Mixer, Line::Master, static_cast<uint32_t>(Settings.DefaultMasterVolume));
    Settings.PreWaveVolume = Settings.DefaultWaveVolume;
    WriteLine(Mixer, Line::Wave, static_cast<uint32_t>(Settings.DefaultWaveVolume));
    SaveSettings();
}

void CMainFrame::OnMute() {
    // Read from the device each time: another program may have switched the mute. Selected
    // each time too: the device may have appeared since start-up, or changed underneath.
    Mixer.SelectMasterMute();
    uint32_t muted = 0;
    if (!Mixer.GetMasterMute(muted)) return;
    const uint32_t newState = muted == 0 ? 1 : 0;
    Mixer.SetMasterMute(newState);
    TrayIcon.SetMuteLabel(newState != 0);
}

void CMainFrame::OnVolumeUp() {
    const uint32_t step = static_cast<uint32_t>(Settings.VolumeStep);
    if (Settings.Mode != 0) {
        const Line line = SingleLine(Settings.Mode);
        uint32_t value = 0;
        if (!ReadLine(Mixer, line, value)) return;
        if (StepUp(Mixer, line, value, step)) LimitBeep();
        return;
    }

    // Mixed: each line normally takes half a step; a line at or above its top is held there and
    // the other takes the whole step.
    uint32_t m = 0, w = 0, next = 0;
    const bool masterRead = ReadLine(Mixer, Line::Master, m);
    const bool masterWithin = masterRead && UpWithin(Mixer, Line::Master, m, step, next);
    const bool waveRead = ReadLine(Mixer, Line::Wave, w);
    const bool waveWithin = waveRead && UpWithin(Mixer, Line::Wave, w, step, next);

    // A line that cannot be read is left alone; the other acts as in its own mode.
    if (!masterRead || !waveRead) {
        if (masterRead && StepUp(Mixer, Line::Master, m, step)) LimitBeep();
        if (waveRead && StepUp(Mixer, Line::Wave, w, step)) LimitBeep();
        return;
    }

    if (masterWithin && waveWithin) {
        const uint32_t half = step / 2;
        WriteLine(Mixer, Line::Master, m + half);
        WriteLine(Mixer, Line::Wave, w + half);
    } else if (waveWithin) {
        HoldAtTop(Mixer, Line::Master, m);
        WriteLine(Mixer, Line::Wave, w + step);
    } else if (masterWithin) {
        HoldAtTop(Mixer, Line::Wave, w);
        WriteLine(Mixer, Line::Master, m + step);
    } else {
        HoldAtTop(Mixer, Line::Master, m);
        HoldAtTop(Mixer, Line::Wave, w);
        LimitBeep();
    }
}

void CMainFrame::OnVolumeDown() {
    const uint32_t step = static_cast<uint32_t>(Settings.VolumeStep);
    if (Settings.Mode != 0) {
        const Line line = SingleLine(Settings.Mode);
        uint32_t value = 0;
        if (!ReadLine(Mixer, line, value)) return;
        StepDown(Mixer, line, value, step);
        return;
    }

    // Mixed: half a step each; a line at its bottom goes to its minimum and the other line
    // stays where it is. Volume down never beeps.
    uint32_t m = 0, w = 0, next = 0;
    const bool masterRead = ReadLine(Mixer, Line::Master, m);
    const bool masterWithin = masterRead && DownWithin(Mixer, Line::Master, m, step, next);
    const bool waveRead = ReadLine(Mixer, Line::Wave, w);
    const bool waveWithin = waveRead && DownWithin(Mixer, Line::Wave, w, step, next);

    if (!masterRead || !waveRead) {
        if (masterRead) StepDown(Mixer, Line::Master, m, step);
        if (waveRead) StepDown(Mixer, Line::Wave, w, step);
        return;
    }

    if (masterWithin && waveWithin) {
        const uint32_t half = step / 2;
        WriteLine(Mixer, Line::Master, m - half);
        WriteLine(Mixer, Line::Wave, w - half);
    } else if (waveWithin) {
        WriteLine(Mixer, Line::Master, Mixer.MasterMinimum);
    } else if (masterWithin) {
        WriteLine(Mixer, Line::Wave, Mixer.WaveMinimum);
    } else {
        WriteLine(Mixer, Line::Master, Mixer.MasterMinimum);
        WriteLine(Mixer, Line::Wave, Mixer.WaveMinimum);
    }
}

void CMainFrame::LimitBeep() {
    // A held key at the top beeps once, then again only after timer 1 has cleared the guard.
    if (LimitBeepGuard) return;
    m_platform.window.MessageBeep(BEEP_SIMPLE);
    LimitBeepGuard = true;
    m_platform.window.SetTimer(TIMER_BEEP_GUARD, BEEP_GUARD_PERIOD_MS);
}

void CMainFrame::OnAdvancedOptions() {
    // Select both lines first, so the sliders show the device's real ranges.
    const bool masterKnown = Mixer.SelectMasterVolume();
    const bool waveKnown = Mixer.SelectWaveVolume();

    CAdvancedOptionsDlg dialog(m_platform.dialogs);
    dialog.MasterMinimum = Mixer.MasterMinimum;
    dialog.MasterMaximum = Mixer.MasterMaximum;
    dialog.WaveMinimum = Mixer.WaveMinimum;
    dialog.WaveMaximum = Mixer.WaveMaximum;
    dialog.DefaultMasterVolume = Settings.DefaultMasterVolume;
    dialog.DefaultWaveVolume = Settings.DefaultWaveVolume;
    dialog.VolumeStep = Settings.VolumeStep;
    if (RunMenuDialog(dialog) != IDOK) return;

    Settings.VolumeStep = dialog.VolumeStep;
    // A line the device does not offer has no range to choose from: keep its stored default
    // rather than the 0 its empty slider shows.
    if (masterKnown) Settings.DefaultMasterVolume = dialog.DefaultMasterVolume;
    if (waveKnown) Settings.DefaultWaveVolume = dialog.DefaultWaveVolume;
    SaveSettings();
}

}  // namespace hvx
