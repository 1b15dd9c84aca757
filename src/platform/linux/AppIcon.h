#pragma once

#include <QIcon>

namespace hvx::linux_platform {

// The program's icon, from the image built into the program.
QIcon AppIcon();
// The icon of this resource of resources/Resource.h: the program's, or its muted variant.
QIcon AppIcon(unsigned iconResource);

}  // namespace hvx::linux_platform
