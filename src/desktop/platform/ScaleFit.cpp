#include "desktop/platform/ScaleFit.h"

#include <cmath>

namespace platform {

std::optional<double> FittingScale(double ratio, zoom::Size space, zoom::Size client, int menuBarHeight)
{
    if (!(ratio > 1.0) || !std::isfinite(ratio)) return std::nullopt;
    const auto fits = [&](double factor) {
        const zoom::Size room{static_cast<int>(space.width / factor), static_cast<int>(space.height / factor)};
        return zoom::Fits(100, room, client, {menuBarHeight, {}});
    };
    if (fits(ratio)) return std::nullopt;
    // Quarter steps, as desktops offer them (125 %, 150 % …), below the ratio asked for.
    for (double factor = std::floor(ratio * 4.0 - 1e-9) / 4.0; factor > 1.0; factor -= 0.25)
        if (fits(factor)) return factor;
    return 1.0;
}

double ScaleFactorSetting(double set, double ratio, double wanted)
{
    if (!(set > 0.0) || !std::isfinite(set)) set = 1.0;
    if (!(ratio > 0.0) || !std::isfinite(ratio)) return set;
    return set * wanted / ratio;
}

} // namespace platform
