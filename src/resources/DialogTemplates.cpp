#include "resources/DialogTemplates.h"

#include <array>

#include "resources/Resource.h"

namespace hvx {

namespace {
using namespace style;
using CC = ControlClass;

constexpr uint32_t kDialogStyle = Popup | Caption | SysMenu | DsModalFrame | DsSetFont;
constexpr uint32_t kPush = BsPushButton | TabStop;
constexpr uint32_t kDefPush = BsDefPushButton | TabStop;
constexpr uint32_t kCheck = BsAutoCheckBox | TabStop;
constexpr uint32_t kRadio = BsAutoRadioButton;
constexpr uint32_t kGroupBox = BsGroupBox | Group;
constexpr uint32_t kEdit = EsLeft | EsAutoHScroll | Border | TabStop;
constexpr uint32_t kTrack = TbsHorz | TbsBoth | TbsNoTicks | TabStop;

// --- About (106) ---------------------------------------------------------------------------
constexpr std::array<ControlTemplate, 5> kAboutControls{{
    {CC::Static, IDC_STATIC, "HVX (version 1.0)", SsLeft | Group, 0, 12, 9, 151, 8},
    {CC::Static, IDC_STATIC, "Timed shutdown, restart and alarm, and volume hotkeys.", SsLeft, 0,
     12, 27, 240, 8},
    {CC::Static, IDC_STATIC, "Provided as is.", SsLeft, 0, 12, 39, 93, 8},
    {CC::Static, IDC_STATIC,
     "HVX is made and looked after by the HVX developers. It keeps its settings on this "
     "computer and never uses the network.",
     SsLeft | Border, ExClientEdge, 9, 60, 252, 28},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 210, 96, 50, 14},
}};

// --- Settings (107) ------------------------------------------------------------------------
constexpr std::array<ControlTemplate, 14> kSettingsControls{{
    {CC::Button, IDC_STATIC, "Startup Option", kGroupBox, 0, 12, 6, 168, 44},
    {CC::Button, IDC_RUN_AT_STARTUP, "Run at startup", kCheck, 0, 20, 18, 70, 11},
    {CC::Button, IDC_SET_SAVED_VOLUME_AT_STARTUP, "Set saved volume level at startup", kCheck, 0,
     20, 32, 124, 11},
    {CC::Button, IDC_STATIC, "Volume Control Mode", kGroupBox, 0, 12, 58, 168, 68},
    {CC::Button, IDC_MODE_MIXED, "Mixed", kRadio | TabStop, 0, 20, 70, 47, 10},
    {CC::Button, IDC_MODE_MASTER, "Main volume", kRadio | TabStop, 0, 20, 83, 64, 10},
    {CC::Button, IDC_MODE_WAVE, "Wave volume", kRadio | TabStop, 0, 20, 96, 63, 10},
    // A group of its own, so the arrow keys of the mode buttons stop before it.
    {CC::Button, IDC_SHOW_VOLUME_INDICATOR, "Show volume indicator", kCheck | Group, 0, 20, 110,
     100, 11},
    {CC::Button, IDC_STATIC, "Shutdown by Using Shortcut Key", kGroupBox, 0, 12, 134, 168, 42},
    {CC::Button, IDC_SHORTCUT_ENABLE, "Enable", kRadio | TabStop, 0, 20, 146, 77, 11},
    {CC::Button, IDC_SHORTCUT_DISABLE, "Disable", kRadio | TabStop, 0, 20, 159, 77, 11},
    {CC::Button, IDC_DEFAULT, "Default", kPush | Group, 0, 12, 185, 50, 15},
    {CC::Button, IDOK, "OK", kDefPush, 0, 69, 185, 50, 15},
    {CC::Button, IDCANCEL, "Cancel", kPush, 0, 126, 185, 50, 15},
}};

// --- Help (108) ----------------------------------------------------------------------------
constexpr std::array<ControlTemplate, 12> kHelpControls{{
    {CC::Button, IDC_STATIC, "Shortcut Keys of Main Functions", kGroupBox, 0, 7, 7, 173, 74},
    {CC::Static, IDC_STATIC, "Ctrl + Up/Down", SsLeft, 0, 21, 21, 48, 8},
    {CC::Static, IDC_STATIC, "Volume Up/Down", SsLeft, 0, 100, 21, 62, 8},
    {CC::Static, IDC_STATIC, "Ctrl + Left", SsLeft, 0, 21, 32, 48, 8},
    {CC::Static, IDC_STATIC, "Mute/Unmute", SsLeft, 0, 100, 32, 62, 8},
    {CC::Static, IDC_STATIC, "Ctrl + Right", SsLeft, 0, 21, 43, 48, 8},
    {CC::Static, IDC_STATIC, "Use Saved Volume", SsLeft, 0, 100, 43, 62, 8},
    {CC::Static, IDC_STATIC, "Ctrl + Alt + Enter", SsLeft, 0, 21, 54, 60, 8},
    {CC::Static, IDC_STATIC, "Shutdown Computer", SsLeft, 0, 100, 54, 72, 8},
    {CC::Static, IDC_STATIC, "Ctrl + Alt + R", SsLeft, 0, 21, 65, 60, 8},
    {CC::Static, IDC_STATIC, "Restart Computer", SsLeft, 0, 100, 65, 72, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 66, 87, 50, 14},
}};

// --- Advanced Options (109) ----------------------------------------------------------------
constexpr std::array<ControlTemplate, 11> kAdvancedControls{{
    {CC::Button, IDC_STATIC, "Default Volume", kGroupBox, 0, 9, 9, 168, 60},
    {CC::Static, IDC_STATIC, "Master", SsLeft, 0, 18, 26, 22, 8},
    {CC::Trackbar, IDC_MASTER_SLIDER, "", kTrack | TbsAutoTicks, 0, 45, 24, 123, 12},
    {CC::Static, IDC_STATIC, "Wave", SsLeft, 0, 18, 50, 22, 8},
    {CC::Trackbar, IDC_WAVE_SLIDER, "", kTrack, 0, 45, 48, 123, 12},
    {CC::Button, IDC_STATIC, "Volume Control Step", kGroupBox, 0, 9, 78, 168, 45},
    {CC::Trackbar, IDC_STEP_SLIDER, "", kTrack, 0, 18, 93, 150, 12},
    {CC::Button, IDC_DEFAULT, "Default", kPush | Group, 0, 15, 132, 50, 14},
    {CC::Button, IDOK, "OK", kDefPush, 0, 69, 132, 50, 14},
    {CC::Button, IDCANCEL, "Cancel", kPush, 0, 123, 132, 50, 14},
    {CC::Edit, IDC_STEP_TEXT, "", EsRight | EsAutoHScroll | EsReadOnly | TabStop, 0, 135, 108, 30,
     9},
}};

// --- Warnings (114, 116, 117) --------------------------------------------------------------
constexpr std::array<ControlTemplate, 2> kInvalidTimeControls{{
    {CC::Static, IDC_STATIC, "Invalid Time Input", SsCenter, 0, 7, 9, 97, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 30, 26, 50, 14},
}};
constexpr std::array<ControlTemplate, 2> kInvalidTimerControls{{
    {CC::Static, IDC_STATIC, "Invalid Timer Input", SsCenter, 0, 7, 9, 97, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 30, 26, 50, 14},
}};
constexpr std::array<ControlTemplate, 2> kNoWeekdayControls{{
    {CC::Static, IDC_STATIC, "No Weekday Selected", SsCenter, 0, 7, 9, 97, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 30, 26, 50, 14},
}};

// --- Auto Shutdown (115) -------------------------------------------------------------------
constexpr std::array<ControlTemplate, 28> kAutoShutdownControls{{
    {CC::Button, IDC_ENABLE_SCHEDULE, "Enable Auto Shutdown, Restart, Alarm and Other Functions.",
     kCheck | Group, 0, 12, 9, 202, 10},
    {CC::Button, IDC_CONFIRM_BEFORE_ACTION, "Confirmation Dialog  (5 min. before Action)", kCheck,
     0, 12, 27, 149, 10},
    {CC::Button, IDC_STATIC, "Action Time", kGroupBox, 0, 12, 48, 138, 63},
    {CC::Button, IDC_EXACT_TIME, "Exact Time", kRadio | TabStop, 0, 20, 60, 50, 10},
    {CC::Button, IDC_TIMER_MODE, "Timer", kRadio | TabStop, 0, 21, 84, 34, 10},
    {CC::Edit, IDC_EXACT_HOUR, "", kEdit, 0, 87, 60, 15, 12},
    {CC::Static, IDC_STATIC, ":", SsCenter, 0, 104, 61, 8, 8},
    {CC::Edit, IDC_EXACT_MINUTE, "", kEdit, 0, 114, 60, 15, 12},
    {CC::Edit, IDC_TIMER_HOUR, "", kEdit, 0, 87, 84, 15, 12},
    {CC::Static, IDC_STATIC, ":", SsCenter, 0, 104, 85, 8, 8},
    {CC::Edit, IDC_TIMER_MINUTE, "", kEdit, 0, 113, 84, 15, 12},
    {CC::Static, IDC_STATIC, "hour", SsLeft, 0, 88, 97, 15, 8},
    {CC::Static, IDC_STATIC, "min", SsLeft, 0, 114, 97, 13, 8},
    {CC::Button, IDC_STATIC, "Action", kGroupBox, 0, 162, 48, 63, 126},
    {CC::Button, IDC_ACTION_SHUTDOWN, "Shutdown", kRadio | TabStop, 0, 168, 72, 47, 10},
    {CC::Button, IDC_ACTION_RESTART, "Restart", kRadio | TabStop, 0, 168, 85, 39, 10},
    {CC::Button, IDC_ACTION_LOGOFF, "Log off", kRadio | TabStop, 0, 168, 98, 37, 10},
    {CC::Button, IDC_ACTION_HIBERNATE, "Hibernate", kRadio | TabStop, 0, 168, 111, 47, 10},
    {CC::Button, IDC_ACTION_STANDBY, "Standby", kRadio | TabStop, 0, 168, 124, 41, 10},
    {CC::Button, IDC_ACTION_ALARM, "Alarm", kRadio | TabStop, 0, 168, 137, 34, 10},
    {CC::Button, IDC_STATIC, "Schedule Type", kGroupBox, 0, 12, 120, 138, 54},
    {CC::Button, IDC_TYPE_ONCE, "Once", kRadio | TabStop, 0, 20, 132, 33, 10},
    {CC::Button, IDC_TYPE_DAILY, "Daily", kRadio | TabStop, 0, 20, 145, 31, 10},
    {CC::Button, IDC_TYPE_WEEKLY, "Weekly", kRadio | TabStop, 0, 20, 158, 38, 10},
    {CC::ComboBox, IDC_WEEKDAY_LIST, "",
     CbsDropDown | CbsAutoHScroll | CbsUpperCase | VScroll | TabStop, 0, 72, 156, 33, 75},
    {CC::Button, IDC_DEFAULT, "Default", kPush | Group, 0, 30, 189, 50, 14},
    {CC::Button, IDOK, "OK", kDefPush, 0, 91, 189, 50, 14},
    {CC::Button, IDCANCEL, "Cancel", kPush, 0, 153, 189, 50, 14},
}};

// --- Confirmation (118) and alarm (119) ----------------------------------------------------
constexpr std::array<ControlTemplate, 3> kConfirmControls{{
    {CC::Static, IDC_STATIC, "Scheduled action after 5 minutes, Confirm to launch?", SsLeft, 0, 12,
     15, 167, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 36, 36, 50, 14},
    {CC::Button, IDCANCEL, "Cancel", kPush, 0, 96, 36, 50, 14},
}};
constexpr std::array<ControlTemplate, 2> kAlarmControls{{
    {CC::Static, IDC_STATIC, "Scheduled Alarm!", SsLeft, 0, 33, 9, 56, 8},
    {CC::Button, IDOK, "OK", kDefPush | Group, 0, 36, 24, 50, 14},
}};

constexpr DialogTemplate kAbout{IDD_ABOUT, "About", kDialogStyle,  true, 271, 117,
                                "Arial",   8,       kAboutControls};
constexpr DialogTemplate kSettings{IDD_SETTINGS, "Settings", kDialogStyle,     false, 191, 213,
                                   "Arial",      9,          kSettingsControls};
constexpr DialogTemplate kHelp{IDD_HELP, "Help", kDialogStyle, false, 186, 109,
                               "Arial",  9,      kHelpControls};
constexpr DialogTemplate kAdvanced{
    IDD_ADVANCED_OPTIONS, "Advanced Options", kDialogStyle, false, 187, 154, "Arial", 9,
    kAdvancedControls};
constexpr DialogTemplate kInvalidTime{
    IDD_INVALID_TIME, "Warning", kDialogStyle, false, 111, 49, "Arial", 9, kInvalidTimeControls};
constexpr DialogTemplate kAutoShutdown{
    IDD_AUTO_SHUTDOWN,    "Auto Shutdown Function", kDialogStyle, false, 237, 217, "Arial", 9,
    kAutoShutdownControls};
constexpr DialogTemplate kNoWeekday{IDD_NO_WEEKDAY, "Warning", kDialogStyle,      false, 111, 49,
                                    "Arial",        9,         kNoWeekdayControls};
constexpr DialogTemplate kInvalidTimer{
    IDD_INVALID_TIMER, "Warning", kDialogStyle, false, 111, 49, "Arial", 9, kInvalidTimerControls};
constexpr DialogTemplate kConfirm{IDD_CONFIRM_ACTION,
                                  "Scheduled Action Confirmation",
                                  kDialogStyle | DsSysModal,
                                  false,
                                  191,
                                  61,
                                  "Arial",
                                  9,
                                  kConfirmControls};
constexpr DialogTemplate kAlarm{
    IDD_ALARM, "Alarm", kDialogStyle | DsSysModal, false, 123, 49, "Arial", 9, kAlarmControls};

constexpr std::array<const DialogTemplate*, 10> kAllTemplates{
    &kAbout,        &kSettings,  &kHelp,         &kAdvanced, &kInvalidTime,
    &kAutoShutdown, &kNoWeekday, &kInvalidTimer, &kConfirm,  &kAlarm};

constexpr std::array<const char*, 7> kWeekdays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t : kAllTemplates)
        if (t->id == id) return t;
    return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return kAllTemplates;
}

std::span<const char* const> WeekdayList() {
    return kWeekdays;
}

}  // namespace hvx
