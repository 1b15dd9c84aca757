// Every fixed number of the program: commands, hotkeys, timers, templates, controls, and the
// handful of platform constants that the behaviour passes through unchanged.
#pragma once

#include <cstdint>

namespace hvx {

// Dialog results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Menu commands.
inline constexpr int ID_SETTINGS = 101;
inline constexpr int ID_ADVANCED_OPTIONS = 102;
inline constexpr int ID_SAVE_VOLUME_LEVEL = 103;
inline constexpr int ID_USE_SAVED_VOLUME_LEVEL = 104;
inline constexpr int ID_RESTORE_DEFAULT_VOLUME_LEVEL = 105;
inline constexpr int ID_MUTE = 106;
inline constexpr int ID_HELP = 109;
inline constexpr int ID_ABOUT = 110;
inline constexpr int ID_EXIT = 112;
inline constexpr int ID_SHUTDOWN = 120;
inline constexpr int ID_RESTART = 121;
inline constexpr int ID_LOGOFF = 122;
inline constexpr int ID_HIBERNATE = 123;
inline constexpr int ID_STANDBY = 124;
inline constexpr int ID_AUTO_SHUTDOWN = 125;

// Global hotkeys.
inline constexpr int HOTKEY_VOLUME_UP = 100;
inline constexpr int HOTKEY_VOLUME_DOWN = 200;
inline constexpr int HOTKEY_USE_SAVED_VOLUME = 300;
inline constexpr int HOTKEY_MUTE = 400;
inline constexpr int HOTKEY_RESTART = 800;
inline constexpr int HOTKEY_SHUTDOWN = 900;

// Hotkey modifiers and keys (Windows virtual-key numbers; other platforms translate them).
inline constexpr uint32_t MOD_KEY_ALT = 0x0001;
inline constexpr uint32_t MOD_KEY_CONTROL = 0x0002;
inline constexpr uint32_t KEY_RETURN = 0x0D;
inline constexpr uint32_t KEY_LEFT = 0x25;
inline constexpr uint32_t KEY_UP = 0x26;
inline constexpr uint32_t KEY_RIGHT = 0x27;
inline constexpr uint32_t KEY_DOWN = 0x28;
inline constexpr uint32_t KEY_R = 0x52;

// Main-window timers.
inline constexpr unsigned TIMER_BEEP_GUARD = 1;
inline constexpr unsigned TIMER_SCHEDULE = 2;
inline constexpr unsigned TIMER_ALARM = 3;
inline constexpr unsigned SCHEDULE_PERIOD_MS = 60000;
inline constexpr unsigned BEEP_GUARD_PERIOD_MS = 250;
inline constexpr unsigned ALARM_PERIOD_MS = 250;

// The simple beep.
inline constexpr uint32_t BEEP_SIMPLE = 0xFFFFFFFF;

// Tray icon.
inline constexpr unsigned TRAY_ICON_ID = 101;
inline constexpr unsigned IDR_MAINFRAME_ICON = 101;
inline constexpr unsigned IDR_MUTED_ICON = 102;          // shown while the master volume is muted
inline constexpr unsigned WM_TRAY_NOTIFY = 0x0400 + 15;  // WM_USER + 15
inline constexpr unsigned MOUSE_LBUTTONDBLCLK = 0x0203;
inline constexpr unsigned MOUSE_RBUTTONUP = 0x0205;
inline constexpr unsigned MENU_TPM_LEFTALIGN_RIGHTBUTTON = 0x0002;

// Dialog templates.
inline constexpr int IDD_ABOUT = 106;
inline constexpr int IDD_SETTINGS = 107;
inline constexpr int IDD_HELP = 108;
inline constexpr int IDD_ADVANCED_OPTIONS = 109;
inline constexpr int IDD_INVALID_TIME = 114;
inline constexpr int IDD_AUTO_SHUTDOWN = 115;
inline constexpr int IDD_NO_WEEKDAY = 116;
inline constexpr int IDD_INVALID_TIMER = 117;
inline constexpr int IDD_CONFIRM_ACTION = 118;
inline constexpr int IDD_ALARM = 119;

// Controls.
inline constexpr int IDC_DEFAULT = 1000;
inline constexpr int IDC_RUN_AT_STARTUP = 1001;
inline constexpr int IDC_SET_SAVED_VOLUME_AT_STARTUP = 1002;
inline constexpr int IDC_CONFIRM_BEFORE_ACTION = 1003;
inline constexpr int IDC_SHOW_VOLUME_INDICATOR = 1004;
inline constexpr int IDC_MODE_MIXED = 1005;
inline constexpr int IDC_MODE_MASTER = 1006;
inline constexpr int IDC_MODE_WAVE = 1007;
inline constexpr int IDC_SHORTCUT_ENABLE = 1008;
inline constexpr int IDC_SHORTCUT_DISABLE = 1009;
inline constexpr int IDC_ENABLE_SCHEDULE = 1010;
inline constexpr int IDC_ACTION_SHUTDOWN = 1015;
inline constexpr int IDC_ACTION_RESTART = 1016;
inline constexpr int IDC_ACTION_LOGOFF = 1017;
inline constexpr int IDC_ACTION_HIBERNATE = 1018;
inline constexpr int IDC_ACTION_STANDBY = 1019;
inline constexpr int IDC_ACTION_ALARM = 1020;
inline constexpr int IDC_TYPE_ONCE = 1021;
inline constexpr int IDC_TYPE_DAILY = 1022;
inline constexpr int IDC_TYPE_WEEKLY = 1023;
inline constexpr int IDC_WEEKDAY_LIST = 1024;
inline constexpr int IDC_EXACT_TIME = 1025;
inline constexpr int IDC_TIMER_MODE = 1026;
inline constexpr int IDC_WAVE_SLIDER = 1340;
inline constexpr int IDC_STEP_SLIDER = 1341;
inline constexpr int IDC_MASTER_SLIDER = 1342;
inline constexpr int IDC_EXACT_HOUR = 1351;
inline constexpr int IDC_EXACT_MINUTE = 1352;
inline constexpr int IDC_TIMER_HOUR = 1353;
inline constexpr int IDC_TIMER_MINUTE = 1354;
inline constexpr int IDC_STEP_TEXT = 1351;  // the read-only step display of Advanced Options

// Button check states.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// Power calls.
inline constexpr uint32_t EWX_LOGOFF_FORCE = 0x04;
inline constexpr uint32_t EWX_REBOOT_FORCE = 0x06;
inline constexpr uint32_t EWX_SHUTDOWN_FORCE_POWEROFF = 0x0D;

// Mixer line and control types.
inline constexpr uint32_t MIXER_LINE_DST_SPEAKERS = 4;
inline constexpr uint32_t MIXER_LINE_SRC_WAVEOUT = 0x1008;
inline constexpr uint32_t MIXER_CONTROL_VOLUME = 0x50030001;
inline constexpr uint32_t MIXER_CONTROL_MUTE = 0x20010002;

// The single-instance marker; one fixed name in every build.
inline constexpr const char* INSTANCE_MARKER_NAME =
    "Global\\{6F1C2B7E-3A94-4D0B-9E58-21C7A4D3B8F6}";

// The hidden main window.
inline constexpr const char* MAIN_WINDOW_TITLE = "SystemTray";

// The icon's tip: its name for the pointer and for screen readers.
inline constexpr const char* TRAY_ICON_TIP = "HVX";

// The run-at-log-on entry name.
inline constexpr const char* RUN_ENTRY_NAME = "HVX";

}  // namespace hvx
