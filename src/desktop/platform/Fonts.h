#pragma once
// The program's fonts. Sizes are pixels as at 96 dpi, so the layout does not move with the
// screen's resolution.
#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>

namespace platform {

// Point size as pixels at 96 dpi: 20.25 → 27, 14.25 → 19, 12 → 16, 11.25 → 15, 9 → 12,
// 6.75 → 9.
int PixelsForPoints(double points);

// The Japanese families to use, first choice first.
QStringList ProportionalChain();
QStringList MonospaceChain();

// The first family of chain that is installed, found by any of its names: fontconfig
// reports a family under the name of the desktop's language ("IPA Pゴシック" under a
// Japanese locale, "IPAPGothic" otherwise), so a comparison with the listed families
// would miss it. Asks for each family in turn instead of listing every installed one.
// Empty when none is installed.
QString FirstInstalled(const QStringList& chain);

// The family names a font file carries (its OpenType name table, every language).
QStringList FamilyNamesOf(const QByteArray& nameTable);

// The installed families used from now on, resolved once from the chains.
QString ProportionalFamily();
QString MonospaceFamily();

// Resolves the families again from other chains: lets a test lay the windows out in each
// font of the chain. Empty lists restore the program's own.
void UseFontChains(const QStringList& proportional, const QStringList& monospace);

QFont ProportionalFont(int pixelSize, bool bold = false);
QFont MonospaceFont(int pixelSize, bool bold = false);

} // namespace platform
