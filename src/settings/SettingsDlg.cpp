// The Settings dialog and its command.
#include "resources/Resource.h"
#include "shell/MainFrame.h"

namespace hvx {

void CMainFrame::OnSettings() {}

}  // namespace hvx
