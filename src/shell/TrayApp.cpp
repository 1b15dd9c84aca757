#include "shell/TrayApp.h"

namespace hvx {

bool CTrayApp::InitInstance() {
    // Any other outcome of creating the marker lets this instance run.
    if (m_marker.CreationState() == IInstanceMarker::State::AlreadyExists) return false;
    m_pMainWnd = std::make_unique<CMainFrame>(m_platform);
    return true;
}

}  // namespace hvx
