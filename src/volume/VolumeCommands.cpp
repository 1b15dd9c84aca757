// The volume commands and hotkeys.
#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

void CMainFrame::OnSaveVolumeLevel() {}
void CMainFrame::OnUseSavedVolumeLevel() {}
void CMainFrame::OnRestoreDefaultVolumeLevel() {}
void CMainFrame::OnMute() {}
void CMainFrame::OnVolumeUp() {}
void CMainFrame::OnVolumeDown() {}
void CMainFrame::LimitBeep() {}
void CMainFrame::OnAdvancedOptions() {}

}  // namespace hvx
