#include "shell/MainFrame.h"

#include <algorithm>
#include <array>

#include "resources/Resource.h"
#include "shell/HotKeyTable.h"

namespace hvx {

namespace {

struct CommandEntry {
    int id;
    void (CMainFrame::*handler)();
};

// The main window's message table for WM_COMMAND.
constexpr std::array<CommandEntry, 15> kCommands{{
    {ID_AUTO_SHUTDOWN, &CMainFrame::OnAutoShutdown},
    {ID_SHUTDOWN, &CMainFrame::OnShutdown},
    {ID_RESTART, &CMainFrame::OnRestart},
    {ID_LOGOFF, &CMainFrame::OnLogOff},
    {ID_HIBERNATE, &CMainFrame::OnHibernate},
    {ID_STANDBY, &CMainFrame::OnStandby},
    {ID_SAVE_VOLUME_LEVEL, &CMainFrame::OnSaveVolumeLevel},
    {ID_USE_SAVED_VOLUME_LEVEL, &CMainFrame::OnUseSavedVolumeLevel},
    {ID_RESTORE_DEFAULT_VOLUME_LEVEL, &CMainFrame::OnRestoreDefaultVolumeLevel},
    {ID_MUTE, &CMainFrame::OnMute},
    {ID_SETTINGS, &CMainFrame::OnSettings},
    {ID_ADVANCED_OPTIONS, &CMainFrame::OnAdvancedOptions},
    {ID_HELP, &CMainFrame::OnHelp},
    {ID_ABOUT, &CMainFrame::OnAbout},
    {ID_EXIT, &CMainFrame::OnExit},
}};

}  // namespace

CMainFrame::CMainFrame(Platform& platform)
    : TrayIcon(platform.tray, platform.window), Mixer(platform.mixer), m_platform(platform) {
    m_platform.window.Create(MAIN_WINDOW_TITLE, *this);
    // Only now, with the mixer open and the settings loaded, may a hotkey arrive.
    RegisterHotKeys();
    ShowState();
}

int CMainFrame::OnCreate() {
    TrayIcon.Create(WM_TRAY_NOTIFY, TRAY_ICON_TIP);
    TrayIcon.DialogOpen = false;
    Mixer.Open();
    Mixer.SelectMasterMute();
    LimitBeepGuard = false;
    uint32_t muted = 0;
    if (Mixer.GetMasterMute(muted)) Mixer.SetMasterMute(0);
    // A skip of the next run never survives a restart.
    WriteDisableOnce(m_platform.registry, 0);
    LoadSettings();
    SaveSettings();
    if (Settings.SetPredefinedVolumeAtStartup != 0) OnUseSavedVolumeLevel();
    m_platform.window.SetTimer(TIMER_SCHEDULE, SCHEDULE_PERIOD_MS);
    return 0;
}

void CMainFrame::OnCommand(int commandId) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == commandId) {
            (this->*entry.handler)();
            // Any command may have changed the volume, the mute or the schedule.
            ShowState();
            return;
        }
    }
}

int CMainFrame::OnHotKey(int hotkeyId) {
    switch (hotkeyId) {
        case HOTKEY_VOLUME_UP:
            OnVolumeUp();
            break;
        case HOTKEY_VOLUME_DOWN:
            OnVolumeDown();
            break;
        case HOTKEY_USE_SAVED_VOLUME:
            OnUseSavedVolumeLevel();
            break;
        case HOTKEY_MUTE:
            OnMute();
            break;
        case HOTKEY_RESTART:
            OnRestart();
            break;
        case HOTKEY_SHUTDOWN:
            // Read at every press, so a change in Settings acts at once.
            if (Settings.ShutdownByUsingShortcut != 0) OnShutdown();
            break;
        default:
            return 0;
    }
    // The change first, then what shows it. Only the volume hotkeys (and their command words)
    // show the indicator, also at a limit, where the level shown is the answer to the press.
    const VolumeState volume = ShowState();
    const bool volumeKey = hotkeyId == HOTKEY_VOLUME_UP || hotkeyId == HOTKEY_VOLUME_DOWN ||
                           hotkeyId == HOTKEY_USE_SAVED_VOLUME || hotkeyId == HOTKEY_MUTE;
    if (volumeKey && Settings.HideVolumeIndicator == 0 && volume.masterPercent) {
        const int64_t shown = std::min<int64_t>(*volume.masterPercent, 1000);
        m_platform.indicator.Show(static_cast<int>(shown), volume.muted);
    }
    return 0;
}

void CMainFrame::OnMixerChange() {
    ShowState();
}

VolumeState CMainFrame::ReadVolumeState() {
    VolumeState state;
    uint32_t value = 0;
    if (Mixer.SelectMasterVolume() && Mixer.GetVolume(value))
        state.masterPercent = LevelPercent(value, Mixer.MasterMinimum, Mixer.MasterMaximum);
    if (Mixer.SelectWaveVolume() && Mixer.GetVolume(value))
        state.wavePercent = LevelPercent(value, Mixer.WaveMinimum, Mixer.WaveMaximum);
    state.muted = Mixer.SelectMasterMute() && Mixer.GetMasterMute(value) && value != 0;
    return state;
}

VolumeState CMainFrame::ShowState() {
    const VolumeState volume = ReadVolumeState();
    TrayIcon.SetState(TrayTipText(volume, Settings), volume.muted);
    return volume;
}

void CMainFrame::OnExit() {
    TrayIcon.RemoveIcon();
    UnregisterHotKeys();
    Mixer.Close();
    m_platform.window.Destroy();
}

int CMainFrame::RunMenuDialog(CDialog& dialog) {
    TrayIcon.DialogOpen = true;
    const int result = dialog.DoModal();
    TrayIcon.DialogOpen = false;
    return result;
}

void CMainFrame::RegisterHotKeys() {
    for (const HotKeyEntry& hotKey : HotKeys())
        m_platform.window.RegisterHotKey(hotKey.id, hotKey.modifiers, hotKey.key);
}

void CMainFrame::UnregisterHotKeys() {
    for (const HotKeyEntry& hotKey : HotKeys()) m_platform.window.UnregisterHotKey(hotKey.id);
}

bool CMainFrame::LoadSettings() {
    hvx::LoadSettings(Settings, m_platform.registry);
    return true;
}

bool CMainFrame::SaveSettings() {
    hvx::SaveSettings(Settings, m_platform.registry, m_platform.runEntry);
    return true;
}

}  // namespace hvx
