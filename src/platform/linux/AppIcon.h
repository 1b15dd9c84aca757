#pragma once

#include <QIcon>

namespace hvx::linux_platform {

// The program's icon, from the image built into the program.
QIcon AppIcon();

}  // namespace hvx::linux_platform
