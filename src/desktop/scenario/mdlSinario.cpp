#include "mdlSinario.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "desktop/platform/ReadFile.h"
#include "desktop/platform/SafeWrite.h"

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
    QByteArray old;
    const readfile::Outcome got =
        readfile::ReadRegularFile(path, static_cast<std::size_t>(kMaxKeptTail) + kRecordSize, old);
    if (got.status == readfile::Status::Unreadable) {
        SetError(error, ReadFailureText());
        return false;
    }
    if (got.status == readfile::Status::Read) {
        if (!got.whole) {
            SetError(error, safewrite::ReasonText(EFBIG));
            return false;
        }
        if (old.size() > static_cast<qsizetype>(kRecordSize)) bytes += old.mid(static_cast<qsizetype>(kRecordSize));
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
    // Only the record is read, however large the file.
    QByteArray bytes;
    const readfile::Outcome got = readfile::ReadRegularFile(path, kRecordSize, bytes);
    const QString shown = QDir::toNativeSeparators(path);
    switch (got.status) {
    case readfile::Status::Absent:
        SetError(error, QStringLiteral("「%1」が見つかりません。").arg(shown));
        return false;
    case readfile::Status::NotAFile:
        // A pipe or device under this name could block or never end.
        SetError(error, QStringLiteral("「%1」はシナリオファイルではありません（フォルダーや特殊なファイルです）。").arg(shown));
        return false;
    case readfile::Status::Unreadable:
        SetError(error, QStringLiteral("「%1」を読み込めません。\n%2").arg(shown, safewrite::ReasonText(got.error)));
        return false;
    case readfile::Status::Read:
        break;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    if (const std::string fault = SinarioRecordFault(data, size); !fault.empty()) {
        SetError(error, QString::fromStdString(RefusedFileText(shown.toStdString(), fault)));
        return false;
    }
    return DecodeSinario(data, size, d);
}

} // namespace mdlSinario
