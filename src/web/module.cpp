// The browser's module has no main: the face calls the C interface (vaporia_api.h), which
// every core is linked in through.
#include "web/vaporia_api.h"
