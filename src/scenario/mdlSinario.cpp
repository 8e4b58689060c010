#include "mdlSinario.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>

#include "Cp932Text.h"
#include "platform/ReadFile.h"
#include "platform/SafeWrite.h"

namespace mdlSinario {

namespace {

constexpr std::size_t kTitleBytes = 30;
constexpr std::size_t kStepCountAt = 30;
constexpr std::size_t kStepsAt = 34;
constexpr std::size_t kStepSize = 46;
static_assert(kStepsAt + kStepSize * (kMaxSteps + 1) == kRecordSize);

template <typename T>
void Put(unsigned char* at, T value)
{
    using U = std::make_unsigned_t<T>;
    const U bits = static_cast<U>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

template <typename T>
T Get(const unsigned char* at)
{
    using U = std::make_unsigned_t<T>;
    U bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) bits = static_cast<U>(bits | U{at[i]} << (8 * i));
    return static_cast<T>(bits);
}

void PutDouble(unsigned char* at, double value) { Put(at, std::bit_cast<std::uint64_t>(value)); }
double GetDouble(const unsigned char* at) { return std::bit_cast<double>(Get<std::uint64_t>(at)); }

void EncodeStep(const SinarioStep& s, unsigned char* at)
{
    Put(at + 0, s.kind);
    Put(at + 2, s.value);
    Put(at + 6, s.addTemp);
    Put(at + 10, s.mol);
    PutDouble(at + 14, s.container);
    Put(at + 22, s.temperatureUnit);
    Put(at + 26, s.pressureUnit);
    Put(at + 30, s.grphWMin);
    Put(at + 34, s.grphWMax);
    Put(at + 38, s.grphHMin);
    Put(at + 42, s.grphHMax);
}

SinarioStep DecodeStep(const unsigned char* at)
{
    SinarioStep s;
    s.kind = Get<std::int16_t>(at + 0);
    s.value = Get<std::int32_t>(at + 2);
    s.addTemp = Get<std::int32_t>(at + 6);
    s.mol = Get<std::int32_t>(at + 10);
    s.container = GetDouble(at + 14);
    s.temperatureUnit = Get<std::int32_t>(at + 22);
    s.pressureUnit = Get<std::int32_t>(at + 26);
    s.grphWMin = Get<std::int32_t>(at + 30);
    s.grphWMax = Get<std::int32_t>(at + 34);
    s.grphHMin = Get<std::int32_t>(at + 38);
    s.grphHMax = Get<std::int32_t>(at + 42);
    return s;
}

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

void EncodeSinario(const SinarioData& d, std::array<unsigned char, kRecordSize>& out)
{
    out.fill(0);
    const std::string title =
        cp932::Encode(std::u16string_view(d.title.data(), d.title.size()), kTitleBytes);
    std::memcpy(out.data(), title.data(), title.size());
    // Only a double-byte character cut at the last byte leaves room: a blank, not half of it.
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(title.size()),
              out.begin() + kTitleBytes, static_cast<unsigned char>(' '));
    Put(out.data() + kStepCountAt, d.stepCount);
    for (std::size_t n = 0; n < d.steps.size(); ++n)
        EncodeStep(d.steps[n], out.data() + kStepsAt + kStepSize * n);
}

bool DecodeSinario(const unsigned char* bytes, std::size_t size, SinarioData& d)
{
    if (bytes == nullptr || size < kRecordSize) return false;
    SinarioData read;
    const std::u16string title =
        cp932::Decode(std::string_view(reinterpret_cast<const char*>(bytes), kTitleBytes));
    // Zero bytes came back as NULs in place; what the decoding leaves over is NUL too.
    read.title.fill(u'\0');
    std::copy_n(title.begin(), std::min(title.size(), read.title.size()), read.title.begin());
    // The step list and playback index slots by step number; keep them inside the record.
    read.stepCount = std::clamp<std::int32_t>(Get<std::int32_t>(bytes + kStepCountAt), 0, kMaxSteps);
    for (std::size_t n = 0; n < read.steps.size(); ++n)
        read.steps[n] = DecodeStep(bytes + kStepsAt + kStepSize * n);
    d = read;
    return true;
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
    switch (got.status) {
    case readfile::Status::Absent:
        SetError(error, QStringLiteral("%1 does not exist").arg(path));
        return false;
    case readfile::Status::NotAFile:
        // A pipe or device under this name could block or never end.
        SetError(error, QStringLiteral("%1 is not a regular file").arg(path));
        return false;
    case readfile::Status::Unreadable:
        SetError(error, QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(got.error))));
        return false;
    case readfile::Status::Read:
        break;
    }
    if (bytes.size() < static_cast<qsizetype>(kRecordSize)) {
        SetError(error, QStringLiteral("%1 holds %2 bytes, fewer than the %3 of a scenario")
                            .arg(path).arg(bytes.size()).arg(kRecordSize));
        return false;
    }
    return DecodeSinario(reinterpret_cast<const unsigned char*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()), d);
}

} // namespace mdlSinario
