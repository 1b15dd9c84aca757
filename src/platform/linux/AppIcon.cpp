#include "platform/linux/AppIcon.h"

namespace hvx::linux_platform {

QIcon AppIcon() {
    // Built into the program (the Qt resource added in CMakeLists.txt), so the tray never
    // depends on the icon theme having it installed.
    return QIcon(QStringLiteral(":/icons/hvx.png"));
}

}  // namespace hvx::linux_platform
