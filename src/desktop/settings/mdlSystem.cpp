#include "mdlSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "core/settings/ProfileFile.h"
#include "UserPrefs.h"
#include "core/model/NumText.h"
#include "desktop/platform/ReadFile.h"
#include "desktop/platform/SafeWrite.h"

namespace mdlSystem {

namespace {

constexpr char kFileName[] = "CONFIG.INI";

enum class ReadResult { Absent, Read, NotAFile, Unreadable, TooLarge };

// Reads at most kMaxFileBytes of a regular file. With `allowTruncation` a larger file
// yields its start up to the last line break in it; otherwise it is refused.
ReadResult ReadCapped(const QString& path, std::string& out, bool allowTruncation)
{
    out.clear();
    QByteArray bytes;
    const readfile::Outcome got = readfile::ReadRegularFile(path, kMaxFileBytes, bytes);
    switch (got.status) {
    case readfile::Status::Absent:
        return ReadResult::Absent;
    case readfile::Status::NotAFile:
        return ReadResult::NotAFile;
    case readfile::Status::Unreadable:
        return ReadResult::Unreadable;
    case readfile::Status::Read:
        break;
    }
    out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!got.whole) {
        if (!allowTruncation) return ReadResult::TooLarge;
        // The line cut in two is as good as absent.
        const auto nl = out.rfind('\n');
        out.resize(nl == std::string::npos ? 0 : nl + 1);
    }
    return ReadResult::Read;
}

LocationFacts GatherFacts(const SettingsLocation& where)
{
    LocationFacts f;
    f.hasUserDir = !where.userConfigDir.isEmpty();
    if (!where.programDir.isEmpty()) {
        const QFileInfo dir(where.programDir);
        f.programDirWritable = dir.isDir() && dir.isWritable();
        const QFileInfo file(ConfigFilePath(where.programDir));
        f.programFileExists = file.exists();
        f.programFileWritable = file.isFile() && file.isWritable();
    }
    if (f.hasUserDir) f.userFileExists = QFileInfo::exists(ConfigFilePath(where.userConfigDir));
    return f;
}

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

} // namespace

QString ConfigFilePath(const QString& dir)
{
    if (dir.isEmpty()) return QString::fromLatin1(kFileName);
    if (dir.endsWith(u'/') || dir.endsWith(u'\\')) return dir + QLatin1String(kFileName);
    // Keep to the separator the folder is written with.
    const QChar sep = dir.contains(u'\\') && !dir.contains(u'/') ? u'\\' : u'/';
    return dir + sep + QLatin1String(kFileName);
}

bool SaveBesideProgram(const LocationFacts& f)
{
    if (!f.hasUserDir) return true;
    // A new file needs a writable folder; an existing one that may be written is saved,
    // in place when its folder cannot be written (one CONFIG.INI a computer room shares).
    return f.programFileExists ? f.programFileWritable : f.programDirWritable;
}

bool LoadBesideProgram(const LocationFacts& f)
{
    // Where the save goes beside the program, the load reads only that file, so the two
    // never disagree.
    if (SaveBesideProgram(f)) return true;
    // The user's copy once there is one, until then a school's preset beside the program.
    return !f.userFileExists && f.programFileExists;
}

SettingsLocation SettingsLocation::ForApplication()
{
    SettingsLocation where;
    if (QCoreApplication::instance()) where.programDir = QCoreApplication::applicationDirPath();
    where.userConfigDir = userprefs::UserConfigDir();
    return where;
}

QString SettingsLocation::Path() const
{
    return ConfigFilePath(SaveBesideProgram(GatherFacts(*this)) ? programDir : userConfigDir);
}

QString SettingsLocation::LoadPath() const
{
    return ConfigFilePath(LoadBesideProgram(GatherFacts(*this)) ? programDir : userConfigDir);
}

unsigned LoadSystemSettings(SystemSettings& s, const SettingsLocation& where)
{
    std::string text;
    if (ReadCapped(where.LoadPath(), text, true) != ReadResult::Read) text.clear();
    return LoadSystemSettingsFromText(s, text);
}

bool SaveSystemSettings(const SystemSettings& s, const SettingsLocation& where, QString* error)
{
    const QString path = where.Path();
    std::string text;
    // Lines other than ours must survive, so a file that cannot be read in full is not
    // replaced.
    switch (ReadCapped(path, text, false)) {
    case ReadResult::Absent:
    case ReadResult::Read:
        break;
    case ReadResult::NotAFile:
        SetError(error, safewrite::ReasonText(EINVAL));
        return false;
    case ReadResult::Unreadable:
        SetError(error, QStringLiteral("今の設定ファイルを読み込めません。"));
        return false;
    case ReadResult::TooLarge:
        SetError(error, QStringLiteral("設定ファイルが大きすぎます（%1 バイトまで）。").arg(kMaxFileBytes));
        return false;
    }
    text = SaveSystemSettingsToText(s, std::move(text));

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        SetError(error, safewrite::ReasonText(ENOENT));
        return false;
    }
    const safewrite::Result r = safewrite::WriteFileAtomically(
        path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (!r.ok) SetError(error, safewrite::ReasonText(r.error));
    return r.ok;
}

} // namespace mdlSystem
