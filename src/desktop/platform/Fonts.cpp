#include "desktop/platform/Fonts.h"

#include <QRawFont>
#include <algorithm>
#include <optional>

#include "core/model/NumText.h"

namespace platform {

namespace {

quint16 U16(const QByteArray& data, qsizetype at)
{
    return static_cast<quint16>((static_cast<quint8>(data[at]) << 8) | static_cast<quint8>(data[at + 1]));
}

// Both chains, and the families resolved from them; resolved on first use.
struct Families {
    QStringList proportionalChain, monospaceChain;
    std::optional<QString> proportional, monospace;
};

Families& State()
{
    static Families families;
    return families;
}

QString Resolve(const QStringList& chain)
{
    const QString found = FirstInstalled(chain);
    // None installed: the last name still lets fontconfig pick its nearest font.
    return found.isEmpty() && !chain.isEmpty() ? chain.back() : found;
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

QStringList ProportionalChain()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
}

QStringList MonospaceChain()
{
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")};
}

QStringList FamilyNamesOf(const QByteArray& table)
{
    QStringList names;
    if (table.size() < 6) return names;
    const int count = U16(table, 2);
    const qsizetype strings = U16(table, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + qsizetype{12} * i;
        if (record + 12 > table.size()) break;
        const quint16 platformId = U16(table, record);
        const quint16 encodingId = U16(table, record + 2);
        const quint16 nameId = U16(table, record + 6);
        const qsizetype length = U16(table, record + 8);
        const qsizetype offset = strings + U16(table, record + 10);
        if (nameId != 1 && nameId != 16) continue; // family, typographic family
        if (offset + length > table.size()) continue;
        const char* bytes = table.constData() + offset;
        QString name;
        if (platformId == 0 || platformId == 3) { // Unicode, Windows: UTF-16 big-endian
            name.reserve(length / 2);
            for (qsizetype k = 0; k + 1 < length; k += 2)
                name.append(QChar(static_cast<char16_t>((static_cast<quint8>(bytes[k]) << 8) | static_cast<quint8>(bytes[k + 1]))));
        } else if (platformId == 1 && encodingId == 0) { // Macintosh Roman; family names are ASCII
            name = QString::fromLatin1(bytes, length);
        } else {
            continue;
        }
        if (!name.isEmpty() && !names.contains(name)) names.append(name);
    }
    return names;
}

QString FirstInstalled(const QStringList& chain)
{
    for (const QString& family : chain) {
        QFont font(family);
        font.setStyleStrategy(QFont::NoFontMerging);
        // What fontconfig matched for the name; a family that is not installed gives some
        // other font, whose file does not carry the name.
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid()) continue;
        const QStringList names = FamilyNamesOf(raw.fontTable("name"));
        if (names.contains(family, Qt::CaseInsensitive)) return family;
    }
    return QString();
}

QString ProportionalFamily()
{
    Families& f = State();
    if (!f.proportional)
        f.proportional = Resolve(f.proportionalChain.isEmpty() ? ProportionalChain() : f.proportionalChain);
    return *f.proportional;
}

QString MonospaceFamily()
{
    Families& f = State();
    if (!f.monospace) f.monospace = Resolve(f.monospaceChain.isEmpty() ? MonospaceChain() : f.monospaceChain);
    return *f.monospace;
}

void UseFontChains(const QStringList& proportional, const QStringList& monospace)
{
    Families& f = State();
    f.proportionalChain = proportional;
    f.monospaceChain = monospace;
    f.proportional.reset();
    f.monospace.reset();
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
