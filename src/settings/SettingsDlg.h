// The Settings dialog: run at log-on, start-up volume, hotkey volume mode and its indicator,
// shutdown hotkey.
#pragma once

#include <cstdint>

#include "platform/Dialog.h"

namespace hvx {

class CSettingsDlg : public CDialog {
  public:
    explicit CSettingsDlg(IDialogHost& host);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;
    void OnDefault();

    int32_t RunAtStartup = 0;
    int32_t Mode = 0;
    int32_t ShutdownByUsingShortcut = 0;
    int32_t SetPredefinedVolumeAtStartup = 0;
    int32_t HideVolumeIndicator = 0;
};

}  // namespace hvx
