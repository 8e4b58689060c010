#pragma once
// The program's icon, as the desktop entry names it, for the windows' icon property: the
// task bar and the window list show it.
#include <QIcon>

namespace platform {

// Drawn at 48, 64, 128 and 256 pixels; needs InitVaporiaAssets() first.
QIcon ProgramIcon();

} // namespace platform
