// The Settings dialog and its command.
#include "settings/SettingsDlg.h"

#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

namespace {
int ModeButton(int32_t mode) {
    if (mode == 0) return IDC_MODE_MIXED;
    if (mode == 1) return IDC_MODE_MASTER;
    return IDC_MODE_WAVE;  // any other value acts as wave volume
}
int Checked(bool on) {
    return on ? BST_CHECKED : BST_UNCHECKED;
}
}  // namespace

CSettingsDlg::CSettingsDlg(IDialogHost& host) : CDialog(host, IDD_SETTINGS) {}

bool CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CheckRadioButton(IDC_MODE_MIXED, IDC_MODE_WAVE, ModeButton(Mode));
    CheckRadioButton(IDC_SHORTCUT_ENABLE, IDC_SHORTCUT_DISABLE,
                     ShutdownByUsingShortcut != 0 ? IDC_SHORTCUT_ENABLE : IDC_SHORTCUT_DISABLE);
    CheckDlgButton(IDC_SET_SAVED_VOLUME_AT_STARTUP, Checked(SetPredefinedVolumeAtStartup != 0));
    CheckDlgButton(IDC_RUN_AT_STARTUP, Checked(RunAtStartup != 0));
    CheckDlgButton(IDC_SHOW_VOLUME_INDICATOR, Checked(HideVolumeIndicator == 0));
    return true;
}

void CSettingsDlg::OnCommand(int id) {
    if (id == IDC_DEFAULT) OnDefault();
}

// Sets the controls only; nothing changes unless the user then presses OK.
void CSettingsDlg::OnDefault() {
    CheckDlgButton(IDC_RUN_AT_STARTUP, BST_CHECKED);
    CheckDlgButton(IDC_SET_SAVED_VOLUME_AT_STARTUP, BST_CHECKED);
    CheckRadioButton(IDC_MODE_MIXED, IDC_MODE_WAVE, IDC_MODE_MIXED);
    CheckRadioButton(IDC_SHORTCUT_ENABLE, IDC_SHORTCUT_DISABLE, IDC_SHORTCUT_ENABLE);
    CheckDlgButton(IDC_SHOW_VOLUME_INDICATOR, BST_CHECKED);
}

void CSettingsDlg::OnOK() {
    const int mode = GetCheckedRadioButton(IDC_MODE_MIXED, IDC_MODE_WAVE);
    Mode = mode == IDC_MODE_MIXED ? 0 : mode == IDC_MODE_MASTER ? 1 : 2;
    ShutdownByUsingShortcut =
        GetCheckedRadioButton(IDC_SHORTCUT_ENABLE, IDC_SHORTCUT_DISABLE) == IDC_SHORTCUT_ENABLE;
    SetPredefinedVolumeAtStartup = IsDlgButtonChecked(IDC_SET_SAVED_VOLUME_AT_STARTUP) != 0;
    RunAtStartup = IsDlgButtonChecked(IDC_RUN_AT_STARTUP) != 0;
    HideVolumeIndicator = IsDlgButtonChecked(IDC_SHOW_VOLUME_INDICATOR) == 0;
    CDialog::OnOK();
}

void CMainFrame::OnSettings() {
    CSettingsDlg dlg(m_platform.dialogs);
    dlg.RunAtStartup = Settings.RunAtStartup;
    dlg.Mode = Settings.Mode;
    dlg.ShutdownByUsingShortcut = Settings.ShutdownByUsingShortcut;
    dlg.SetPredefinedVolumeAtStartup = Settings.SetPredefinedVolumeAtStartup;
    dlg.HideVolumeIndicator = Settings.HideVolumeIndicator;
    if (RunMenuDialog(dlg) == IDOK) {
        // Only these five go back, so whatever the minute tick changed meanwhile survives.
        Settings.RunAtStartup = dlg.RunAtStartup;
        Settings.Mode = dlg.Mode;
        Settings.ShutdownByUsingShortcut = dlg.ShutdownByUsingShortcut;
        Settings.SetPredefinedVolumeAtStartup = dlg.SetPredefinedVolumeAtStartup;
        Settings.HideVolumeIndicator = dlg.HideVolumeIndicator;
        SaveSettings();
    }
}

}  // namespace hvx
