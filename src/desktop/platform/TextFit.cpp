#include "desktop/platform/TextFit.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <algorithm>

namespace platform {

namespace {

// QLineEdit keeps this many pixels free on each side of its text, inside its frame.
constexpr int kLineEditMargin = 2;

int WidestOf(const QFont& font, const QStringList& texts)
{
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& t : texts) widest = std::max(widest, fm.horizontalAdvance(t));
    // A line edit also wants a pixel for its cursor and the glyphs' overhang at either end.
    return widest + 1 + std::max(0, -fm.minLeftBearing()) + std::max(0, -fm.minRightBearing());
}

// The width a line edit has for its text.
int TextWidthOf(const QLineEdit& box)
{
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.rect = box.rect();
    option.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    const QRect contents = box.style()->subElementRect(QStyle::SE_LineEditContents, &option, &box);
    const QMargins m = box.textMargins();
    return contents.width() - m.left() - m.right() - 2 * kLineEditMargin;
}

} // namespace

QFont CondensedToFit(const QFont& font, const QStringList& texts, int width, int minStretch)
{
    if (WidestOf(font, texts) <= width) return font;
    QFont condensed = font;
    const int base = font.stretch() > 0 ? font.stretch() : 100;
    // Glyph widths round to pixels, so step down from the proportional guess until it fits.
    const int guess = base * width / std::max(WidestOf(font, texts), 1);
    for (int stretch = std::clamp(guess + 2, minStretch, base); stretch >= minStretch; --stretch) {
        condensed.setStretch(stretch);
        if (WidestOf(condensed, texts) <= width) return condensed;
    }
    condensed.setStretch(minStretch);
    return condensed;
}

void KeepTextInside(QLineEdit& box)
{
    const QFont base = box.font();
    const QFontMetrics metrics(base);
    const int overhang = WidestOf(base, {QString()});
    // Runs on every change, a ramp's included: text that fits, the usual case, is only measured.
    auto fit = [&box, base, metrics, overhang](const QString& text) {
        const int width = TextWidthOf(box);
        const QFont wanted = metrics.horizontalAdvance(text) + overhang <= width
            ? base : CondensedToFit(base, {text}, width);
        if (wanted != box.font()) box.setFont(wanted);
    };
    fit(box.text());
    QObject::connect(&box, &QLineEdit::textChanged, &box, fit);
}

void KeepItemsInside(QComboBox& list)
{
    QStyleOptionComboBox option;
    option.initFrom(&list);
    option.rect = list.rect();
    option.editable = list.isEditable();
    const QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list);
    QStringList items;
    for (int i = 0; i < list.count(); ++i) items.append(list.itemText(i));
    // The style draws the item a pixel in from either side of the field.
    list.setFont(CondensedToFit(list.font(), items, field.width() - 2));
}

void GiveLineRoom(QLabel& label)
{
    const QRect given = label.geometry();
    const int height = std::max(given.height(), QFontMetrics(label.font()).height() + 4);
    const int top = given.top() - (height - given.height()) / 2;
    label.setGeometry(given.left(), top, given.width(), height);
    label.setAlignment((label.alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
}

} // namespace platform
