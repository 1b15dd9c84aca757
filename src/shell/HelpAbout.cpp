// Help and About: static dialogs run with the tray menu refused.
#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

void CMainFrame::OnHelp() {
    CDialog help(m_platform.dialogs, IDD_HELP);
    RunMenuDialog(help);
}

void CMainFrame::OnAbout() {
    CDialog about(m_platform.dialogs, IDD_ABOUT);
    RunMenuDialog(about);
}

}  // namespace hvx
