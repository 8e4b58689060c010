#pragma once
// Room for the real content of the fixed-size controls, whatever Japanese font is installed:
// fonts differ in width and line height, and the layout does not move.
#include <QFont>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;

namespace platform {

// The font condensed horizontally (never below minStretch percent) just enough for every
// text to take no more than width pixels; the font itself when they fit already.
QFont CondensedToFit(const QFont& font, const QStringList& texts, int width, int minStretch = 60);

// Keeps the whole text of a fixed box visible as it changes: the box's font, as given now,
// is condensed as far as its text needs. For readouts and short numbers, where the digits
// matter more than their width.
void KeepTextInside(QLineEdit& box);

// The same for the items of a selection-only list: its font fits the widest item.
void KeepItemsInside(QComboBox& list);

// Gives a one-line label the height its font needs, centred on the place it was given, and
// centres its text there: a font with a taller line then does not cut off the bottom.
void GiveLineRoom(QLabel& label);

} // namespace platform
