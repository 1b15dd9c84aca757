// The five power actions: enable the shutdown privilege, then one platform call each.
#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

void CMainFrame::OnShutdown() {
    if (m_platform.power.EnableShutdownPrivilege())
        m_platform.power.ExitWindows(EWX_SHUTDOWN_FORCE_POWEROFF);
}

void CMainFrame::OnRestart() {
    if (m_platform.power.EnableShutdownPrivilege()) m_platform.power.ExitWindows(EWX_REBOOT_FORCE);
}

void CMainFrame::OnLogOff() {
    if (m_platform.power.EnableShutdownPrivilege()) m_platform.power.ExitWindows(EWX_LOGOFF_FORCE);
}

void CMainFrame::OnHibernate() {
    if (m_platform.power.EnableShutdownPrivilege())
        m_platform.power.SetSystemPowerState(false, false);
}

void CMainFrame::OnStandby() {
    if (m_platform.power.EnableShutdownPrivilege())
        m_platform.power.SetSystemPowerState(true, true);
}

}  // namespace hvx
