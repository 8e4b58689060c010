// Arbitrary bytes as a scenario file on disk, up to past the record the reader takes: the
// read gives what the record decodes to and never more, and a save over the file keeps
// every byte after the record.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "desktop/scenario/mdlSinario.h"

using namespace mdlSinario;

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

std::string cleanupFolder;

QString Folder()
{
    static const QString folder = [] {
        const QString f = QDir::tempPath() + QStringLiteral("/vaporia-fuzz-so1-%1").arg(::getpid());
        QDir().mkpath(f);
        // Outlives the function's own static, which is gone by the time this runs.
        cleanupFolder = f.toStdString();
        std::atexit([] { QDir(QString::fromStdString(cleanupFolder)).removeRecursively(); });
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = Folder() + QStringLiteral("/lesson.so1");
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }

    SinarioData read;
    SetTitle(read, QStringLiteral("untouched"));
    const SinarioData before = read;
    QString error;
    const bool ok = ReadSinarioFile(read, path, &error);
    Check(ok == SinarioRecordFault(data, size).empty());
    if (!ok) {
        Check(read == before && !error.isEmpty());
    } else {
        SinarioData decoded;
        Check(DecodeSinario(data, kRecordSize, decoded));
        // By their bytes: a NaN read from a file is not equal to itself.
        std::array<unsigned char, kRecordSize> a{}, b{};
        EncodeSinario(read, a);
        EncodeSinario(decoded, b);
        Check(a == b);
    }

    // The save replaces the record and keeps the tail.
    SinarioData d;
    SetTitle(d, QStringLiteral("保存"));
    d.stepCount = 1;
    Check(WriteSinarioFile(d, path, &error));
    QFile f(path);
    Check(f.open(QIODevice::ReadOnly));
    const QByteArray saved = f.readAll();
    std::array<unsigned char, kRecordSize> record{};
    EncodeSinario(d, record);
    Check(saved.left(static_cast<qsizetype>(kRecordSize))
          == QByteArray(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(kRecordSize)));
    Check(saved.mid(static_cast<qsizetype>(kRecordSize)) == bytes.mid(static_cast<qsizetype>(kRecordSize)));
    return 0;
}
