// The hidden main window: owner of all state and home of every command, hotkey and timer
// handler. The handlers of each subsystem live in that subsystem's folder.
#pragma once

#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "shell/TrayIcon.h"
#include "shell/TrayState.h"
#include "volume/VolumeMixer.h"

namespace hvx {

class CMainFrame : public IMainWindowHandler {
  public:
    // Creates the window (OnCreate runs inside) and then registers the hotkeys.
    explicit CMainFrame(Platform& platform);
    virtual ~CMainFrame() = default;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // IMainWindowHandler
    int OnCreate() override;
    void OnTimer(unsigned timerId) override;
    void OnCommand(int commandId) override;
    int OnHotKey(int hotkeyId) override;
    void OnMixerChange() override;

    // Commands, one per menu item.
    void OnAutoShutdown();
    void OnShutdown();
    void OnRestart();
    void OnLogOff();
    void OnHibernate();
    void OnStandby();
    void OnSaveVolumeLevel();
    void OnUseSavedVolumeLevel();
    void OnRestoreDefaultVolumeLevel();
    void OnMute();
    void OnSettings();
    void OnAdvancedOptions();
    void OnHelp();
    void OnAbout();
    void OnExit();

    // Scheduler.
    void CheckSchedule();
    void RunAlarm();

    // Volume hotkeys.
    void OnVolumeUp();
    void OnVolumeDown();
    void LimitBeep();

    // The master and wave levels and the mute as the mixer has them now.
    VolumeState ReadVolumeState();
    // Brings the icon's tip and image to the volume and the schedule as they are now.
    VolumeState ShowState();

    // Settings.
    bool LoadSettings();
    bool SaveSettings();

    // Runs a dialog opened from the menu, with the tray menu refused while it shows.
    int RunMenuDialog(CDialog& dialog);

    bool LimitBeepGuard = false;
    CTrayIcon TrayIcon;
    CVolumeMixer Mixer;
    AppSettings Settings;

  protected:
    Platform& m_platform;

  private:
    void RegisterHotKeys();
    void UnregisterHotKeys();

    // Alarms showing at this moment; timer 3 beeps until the last one is dismissed.
    int m_alarmsOpen = 0;
};

}  // namespace hvx
