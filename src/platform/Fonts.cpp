#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "model/NumText.h"

namespace platform {

namespace {

QString FirstInstalled(std::initializer_list<const char*> families)
{
    const QStringList installed = QFontDatabase::families();
    for (const char* family : families) {
        const QString name = QString::fromUtf8(family);
        if (installed.contains(name, Qt::CaseInsensitive)) return name;
    }
    return QString::fromUtf8(*std::prev(families.end()));
}

QFont Make(const QString& family, int pixelSize, bool bold)
{
    QFont font(family);
    font.setPixelSize(std::max(pixelSize, 1));
    font.setBold(bold);
    return font;
}

} // namespace

int PixelsForPoints(double points)
{
    return numtext::ToWholeSaturated(points * 96.0 / 72.0);
}

QString ProportionalFamily()
{
    static const QString family = FirstInstalled({"ＭＳ Ｐゴシック", "IPAPGothic", "Noto Sans CJK JP"});
    return family;
}

QString MonospaceFamily()
{
    static const QString family = FirstInstalled({"ＭＳ ゴシック", "IPAGothic", "Noto Sans Mono CJK JP"});
    return family;
}

QFont ProportionalFont(int pixelSize, bool bold)
{
    return Make(ProportionalFamily(), pixelSize, bold);
}

QFont MonospaceFont(int pixelSize, bool bold)
{
    return Make(MonospaceFamily(), pixelSize, bold);
}

} // namespace platform
