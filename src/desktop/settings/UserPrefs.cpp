#include "UserPrefs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/settings/ProfileFile.h"
#include "desktop/platform/ReadFile.h"
#include "desktop/platform/SafeWrite.h"

#include <cerrno>

namespace userprefs {

namespace {
constexpr std::string_view kSection = "vaporia";
constexpr std::size_t kMaxBytes = 64 * 1024; // the file holds a few lines; more is not ours
constexpr std::size_t kMaxFolderBytes = 4096;  // PATH_MAX

// A folder the file can hold on one line and give back unchanged.
bool StorableFolder(std::string_view folder)
{
    if (folder.empty() || folder.size() > kMaxFolderBytes) return false;
    if (folder.front() == ' ' || folder.back() == ' ') return false;
    for (const unsigned char c : folder)
        if (c < 0x20 || c == 0x7F) return false;
    return true;
}
} // namespace

QString UserConfigDir()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg) + QStringLiteral("/vaporia");
    const QString home = QDir::homePath();
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) return {};
    return QDir::cleanPath(home) + QStringLiteral("/.config/vaporia");
}

QString UserPrefsPath()
{
    const QString dir = UserConfigDir();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/preferences.ini");
}

UserPrefs ParseUserPrefs(std::string_view text)
{
    UserPrefs p;
    const std::string zoom = profile::ReadString(text, kSection, "zoom", "", 16);
    if (zoom == "150") p.zoomPercent = 150;
    else if (zoom == "200") p.zoomPercent = 200;
    p.dataBook = profile::ReadString(text, kSection, "dataBook", "", 16) == "1";
    p.legend = profile::ReadString(text, kSection, "legend", "", 16) == "1";
    p.markers = profile::ReadString(text, kSection, "markers", "", 16) == "1";
    const std::string folder = profile::ReadString(text, kSection, "saveFolder", "", kMaxFolderBytes + 1);
    if (StorableFolder(folder)) p.saveFolder = folder;
    return p;
}

std::string FormatUserPrefs(const UserPrefs& prefs)
{
    const int zoom = prefs.zoomPercent == 150 || prefs.zoomPercent == 200 ? prefs.zoomPercent : 100;
    std::string text = "[vaporia]\nzoom=" + std::to_string(zoom) + "\ndataBook=" + (prefs.dataBook ? "1" : "0")
                       + "\nlegend=" + (prefs.legend ? "1" : "0") + "\nmarkers=" + (prefs.markers ? "1" : "0") + "\n";
    if (StorableFolder(prefs.saveFolder)) text += "saveFolder=" + prefs.saveFolder + "\n";
    return text;
}

UserPrefs LoadUserPrefs(const QString& path)
{
    QByteArray bytes;
    if (readfile::ReadRegularFile(path, kMaxBytes, bytes).status != readfile::Status::Read) return {};
    return ParseUserPrefs(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString CheckReplaceable(const QString& path)
{
    QByteArray bytes;
    const readfile::Outcome got = readfile::ReadRegularFile(path, kMaxBytes, bytes);
    switch (got.status) {
    case readfile::Status::Absent:
        return {};
    case readfile::Status::NotAFile:
        return safewrite::ReasonText(got.error);
    case readfile::Status::Unreadable:
        return QStringLiteral("今の設定ファイルを読み込めません。");
    case readfile::Status::Read:
        break;
    }
    if (!got.whole) return QStringLiteral("設定ファイルが大きすぎます（%1 バイトまで）。").arg(kMaxBytes);
    return {};
}

bool SaveUserPrefs(const UserPrefs& prefs, const QString& path, QString* error)
{
    auto failed = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return failed(safewrite::ReasonText(ENOENT));
    // The choices were read from this file; one that could not be read in full was taken as
    // the defaults, which must not replace what it holds.
    if (const QString why = CheckReplaceable(path); !why.isEmpty()) return failed(why);
    const std::string text = FormatUserPrefs(prefs);
    const safewrite::Result r =
        safewrite::WriteFileAtomically(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (!r.ok) return failed(safewrite::ReasonText(r.error));
    return true;
}

} // namespace userprefs
