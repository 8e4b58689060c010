#pragma once
// The program's fonts. Sizes are pixels as at 96 dpi, so the layout does not move with the
// screen's resolution.
#include <QFont>
#include <QString>

namespace platform {

// Point size as pixels at 96 dpi: 20.25 → 27, 14.25 → 19, 12 → 16, 11.25 → 15, 9 → 12,
// 6.75 → 9.
int PixelsForPoints(double points);

// The proportional and the monospaced Japanese font families that are installed.
QString ProportionalFamily();
QString MonospaceFamily();

QFont ProportionalFont(int pixelSize, bool bold = false);
QFont MonospaceFont(int pixelSize, bool bold = false);

} // namespace platform
