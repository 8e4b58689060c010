#include "desktop/platform/AppIcon.h"

namespace platform {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon/vaporia-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace platform
