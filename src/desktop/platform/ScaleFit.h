#pragma once
// The scale factor a program runs at when the one it was started with (QT_SCALE_FACTOR, the
// desktop's) would put its fixed window off the screen: the zooms start at 100 % of the
// device-independent size, so only a smaller factor can make it fit.
#include <optional>

#include "core/view/Zoom.h"

namespace platform {

// The largest factor, in quarter steps from ratio down to 1, at which the window (a client
// of the given design size under a menu bar of menuBarHeight, both at 100 %) fits the
// screen's available area of space device pixels; nothing when it fits at ratio already, or
// ratio is 1 or less (no smaller factor is taken). At 1 when nothing larger fits.
std::optional<double> FittingScale(double ratio, zoom::Size space, zoom::Size client, int menuBarHeight);

// The QT_SCALE_FACTOR that turns a program running at ratio, started with the factor set
// (1 when unset), into one running at wanted.
double ScaleFactorSetting(double set, double ratio, double wanted);

} // namespace platform
