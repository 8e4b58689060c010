// Arbitrary bytes as preferences.ini, up to past the part the load reads: the load from the
// file is the parse of what it read, and a save replaces only a file read in full.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

#include "desktop/settings/UserPrefs.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

constexpr qsizetype kReadLimit = 64 * 1024; // what the load reads

std::string cleanupFolder;

QString Folder()
{
    static const QString folder = [] {
        const QString f = QDir::tempPath() + QStringLiteral("/vaporia-fuzz-prefs-%1").arg(::getpid());
        QDir().mkpath(f);
        // Outlives the function's own static, which is gone by the time this runs.
        cleanupFolder = f.toStdString();
        std::atexit([] { QDir(QString::fromStdString(cleanupFolder)).removeRecursively(); });
        return f;
    }();
    return folder;
}

QByteArray ReadBack(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = Folder() + QStringLiteral("/preferences.ini");
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile f(path);
        Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }

    const userprefs::UserPrefs loaded = userprefs::LoadUserPrefs(path);
    const QByteArray seen = bytes.left(kReadLimit);
    const userprefs::UserPrefs parsed =
        userprefs::ParseUserPrefs(std::string_view(seen.constData(), static_cast<std::size_t>(seen.size())));
    Check(loaded.zoomPercent == parsed.zoomPercent && loaded.dataBook == parsed.dataBook);
    Check(loaded.zoomPercent == 100 || loaded.zoomPercent == 150 || loaded.zoomPercent == 200);

    userprefs::UserPrefs changed = loaded;
    changed.zoomPercent = loaded.zoomPercent == 200 ? 150 : 200;
    changed.dataBook = !loaded.dataBook;
    QString error;
    const bool saved = userprefs::SaveUserPrefs(changed, path, &error);
    Check(saved == (bytes.size() <= kReadLimit));
    if (!saved) {
        Check(!error.isEmpty() && ReadBack(path) == bytes);
    } else {
        const userprefs::UserPrefs back = userprefs::LoadUserPrefs(path);
        Check(back.zoomPercent == changed.zoomPercent && back.dataBook == changed.dataBook);
    }
    return 0;
}
