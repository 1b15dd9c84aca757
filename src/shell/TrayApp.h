// The application object: the single-instance rule and the main window's lifetime.
#pragma once

#include <memory>

#include "platform/InstanceMarker.h"
#include "platform/Platform.h"
#include "shell/MainFrame.h"

namespace hvx {

class CTrayApp {
  public:
    CTrayApp(const IInstanceMarker& marker, Platform& platform)
        : m_marker(marker), m_platform(platform) {}

    // False when another instance is running; otherwise creates the main window.
    bool InitInstance();
    CMainFrame* MainWnd() { return m_pMainWnd.get(); }
    // Called once the message loop has ended with the main window.
    void ExitInstance() { m_pMainWnd.reset(); }

  private:
    const IInstanceMarker& m_marker;
    Platform& m_platform;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

}  // namespace hvx
