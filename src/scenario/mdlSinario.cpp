#include "mdlSinario.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/SafeWrite.h"

namespace mdlSinario {

namespace {

// A file this much larger than a record is no scenario a teacher made; it is left alone.
constexpr qint64 kMaxKeptTail = 64 * 1024 * 1024;

QString ReadFailureText() { return QStringLiteral("元のファイルを読み込めません。"); }

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

} // namespace

QString TitleText(const SinarioData& d)
{
    QString text;
    for (const char16_t unit : d.title)
        if (unit != u'\0') text += QChar(unit);
    return text;
}

void SetTitle(SinarioData& d, const QString& text)
{
    auto n = std::min<qsizetype>(text.size(), kTitleChars);
    // Cutting between the halves of a surrogate pair would leave half a character.
    if (n == kTitleChars && n < text.size() && text[n - 1].isHighSurrogate() && text[n].isLowSurrogate())
        --n;
    d.title.fill(u' ');
    for (qsizetype i = 0; i < n; ++i) d.title[static_cast<std::size_t>(i)] = text[i].unicode();
}

bool WriteSinarioFile(const SinarioData& d, const QString& path, QString* error)
{
    if (path.isEmpty()) {
        SetError(error, safewrite::ReasonText(ENOENT));
        return false;
    }
    std::array<unsigned char, kRecordSize> record{};
    EncodeSinario(d, record);
    QByteArray bytes(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));

    // Whatever follows the record in an existing file is kept: the new file is the new record
    // and the old file's bytes after it, and replaces the old one whole.
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && info.size() > static_cast<qint64>(kRecordSize)) {
        if (info.size() > kMaxKeptTail + static_cast<qint64>(kRecordSize)) {
            SetError(error, safewrite::ReasonText(EFBIG));
            return false;
        }
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly) || !old.seek(static_cast<qint64>(kRecordSize))) {
            SetError(error, ReadFailureText());
            return false;
        }
        const QByteArray tail = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            SetError(error, ReadFailureText());
            return false;
        }
        bytes += tail;
    }
    const safewrite::Result r = safewrite::WriteFileAtomically(path, bytes);
    if (!r.ok) SetError(error, safewrite::ReasonText(r.error));
    return r.ok;
}

QString WithScenarioExtension(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(slash + 1);
    if (name.isEmpty()) return path;
    // A leading dot makes a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0 && dot + 1 < name.size()) return path;
    return path + (dot > 0 ? QStringLiteral("so1") : QStringLiteral(".so1"));
}

bool ReadSinarioFile(SinarioData& d, const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        SetError(error, QStringLiteral("%1 does not exist").arg(path));
        return false;
    }
    // A pipe or device under this name could block or never end.
    if (!info.isFile()) {
        SetError(error, QStringLiteral("%1 is not a regular file").arg(path));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    std::array<unsigned char, kRecordSize> bytes{};
    qint64 got = 0;
    while (got < static_cast<qint64>(kRecordSize)) {
        const qint64 n = file.read(reinterpret_cast<char*>(bytes.data()) + got,
                                   static_cast<qint64>(kRecordSize) - got);
        if (n < 0) {
            SetError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
            return false;
        }
        if (n == 0) break;
        got += n;
    }
    if (got < static_cast<qint64>(kRecordSize)) {
        SetError(error, QStringLiteral("%1 holds %2 bytes, fewer than the %3 of a scenario")
                            .arg(path).arg(got).arg(kRecordSize));
        return false;
    }
    return DecodeSinario(bytes.data(), bytes.size(), d);
}

} // namespace mdlSinario
