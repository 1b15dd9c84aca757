#include "platform/linux/AppIcon.h"

#include "resources/Resource.h"

namespace hvx::linux_platform {

QIcon AppIcon() {
    // Built into the program (the Qt resource added in CMakeLists.txt), so the tray never
    // depends on the icon theme having it installed.
    return QIcon(QStringLiteral(":/icons/hvx.png"));
}

QIcon AppIcon(unsigned iconResource) {
    return iconResource == IDR_MUTED_ICON ? QIcon(QStringLiteral(":/icons/hvx-muted.png"))
                                          : AppIcon();
}

}  // namespace hvx::linux_platform
