#include "assets/assets.h"

#include <QtGlobal>

void InitVaporiaAssets()
{
    // Registering twice is harmless; Q_INIT_RESOURCE must stay outside any namespace.
    Q_INIT_RESOURCE(assets);
}
