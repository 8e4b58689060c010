#include "desktop/scenario/LessonShelf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <ctime>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace lessonshelf {

QStringList LessonFolderCandidates(const QString& programDir)
{
    if (programDir.isEmpty()) return {};
    const QDir dir(programDir);
    return {QDir::cleanPath(dir.filePath(QStringLiteral("lessons"))),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/vaporia/lessons")))};
}

QString FindLessonFolder(const QString& programDir)
{
    for (const QString& candidate : LessonFolderCandidates(programDir))
        if (QFileInfo(candidate).isDir()) return candidate;
    return {};
}

namespace {

// A listing newer than this after a change may have missed a second change in the same
// clock step of the file system (two seconds on FAT and some network shares).
constexpr std::int64_t kClockStepNs = 2'000'000'000;

std::int64_t Ns(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

std::int64_t NowNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Ns(now);
}

bool StampOf(const QByteArray& path, const std::string& name, ListingStamp& stamp)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return false;
    stamp = {name, static_cast<std::int64_t>(st.st_size), Ns(st.st_mtim)};
    return true;
}

// True when `previous` still describes folder.
bool StillHolds(const QString& folder, const LessonListing& previous)
{
    if (previous.folder != folder || previous.stamps.empty()) return false;
    const QByteArray base = QFile::encodeName(folder);
    for (const ListingStamp& old : previous.stamps) {
        ListingStamp now;
        const QByteArray path = old.name.empty() ? base : base + '/' + QByteArray::fromStdString(old.name);
        if (!StampOf(path, old.name, now) || !(now == old)) return false;
        if (old.mtimeNs + kClockStepNs > previous.takenAtNs) return false;
    }
    return true;
}

bool IsScenarioName(std::string_view name)
{
    if (name.size() < 5 || name.front() == '.') return false; // hidden files stay hidden
    const std::string_view ext = name.substr(name.size() - 4);
    return ext[0] == '.' && (ext[1] | 0x20) == 's' && (ext[2] | 0x20) == 'o' && ext[3] == '1';
}

} // namespace

namespace {

// Opens the pending files in order until the listing is full or the budget is spent.
void ReadPending(LessonListing& listing, const ListingBounds& bounds,
                 std::chrono::steady_clock::time_point started)
{
    const QDir dir(listing.folder);
    std::size_t next = 0;
    for (; next < listing.pending.size(); ++next) {
        if (listing.entries.size() >= static_cast<std::size_t>(kMaxListed)) break;
        if (std::chrono::steady_clock::now() - started > bounds.budget) break;
        const auto& [name, bytes] = listing.pending[next];
        const QString path = dir.filePath(name);
        ++listing.filesOpened;
        ListingStamp stamp;
        if (StampOf(QFile::encodeName(path), bytes, stamp)) listing.stamps.push_back(stamp);
        mdlSinario::SinarioData d; // only its title is kept
        if (!mdlSinario::ReadSinarioFile(d, path)) continue;
        QString title = mdlSinario::TitleText(d).trimmed();
        if (title.isEmpty()) title = QFileInfo(name).completeBaseName();
        listing.entries.push_back({path, title});
    }
    if (listing.entries.size() >= static_cast<std::size_t>(kMaxListed)) {
        listing.pending.clear();
        return;
    }
    listing.pending.erase(listing.pending.begin(), listing.pending.begin() + static_cast<std::ptrdiff_t>(next));
    if (!listing.pending.empty()) listing.complete = false;
}

} // namespace

LessonListing RefreshLessons(const QString& folder, const LessonListing& previous, const ListingBounds& bounds)
{
    const auto started = std::chrono::steady_clock::now();
    if (StillHolds(folder, previous)) {
        LessonListing reused = previous;
        reused.filesOpened = 0;
        if (!reused.pending.empty()) ReadPending(reused, bounds, started);
        return reused;
    }
    LessonListing listing;
    listing.folder = folder;
    listing.takenAtNs = NowNs();
    if (folder.isEmpty()) return listing;
    const QByteArray base = QFile::encodeName(folder);
    ListingStamp folderStamp;
    if (!StampOf(base, {}, folderStamp)) return listing;
    listing.stamps.push_back(folderStamp);

    // Names only: no file is looked at until it is among the first in order.
    std::vector<std::pair<QString, std::string>> names;
    if (DIR* dir = ::opendir(base.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type == DT_DIR || !IsScenarioName(entry->d_name)) continue;
            names.emplace_back(QFile::decodeName(entry->d_name), entry->d_name);
        }
        ::closedir(dir);
    }
    const std::size_t candidates =
        std::min(names.size(), static_cast<std::size_t>(std::max(bounds.maxOpened, 0)));
    std::partial_sort(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(candidates), names.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
    listing.complete = candidates == names.size();
    names.resize(candidates);
    listing.pending = std::move(names);
    ReadPending(listing, bounds, started);
    return listing;
}

std::vector<LessonEntry> ListLessons(const QString& folder)
{
    return RefreshLessons(folder, {}).entries;
}

QString MenuText(const QString& title)
{
    QString text;
    text.reserve(title.size());
    for (const QChar c : title) {
        if (c == u'&') text += QStringLiteral("&&");
        else if (c.category() == QChar::Other_Control) text += u' ';
        else text += c;
    }
    return text;
}

QString CaptionText(const QString& title)
{
    QString text = title;
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control) c = u' ';
    return text;
}

bool LoadLesson(mdlSinario::SinarioData& sinario, const QString& path, QString* error)
{
    return mdlSinario::ReadSinarioFile(sinario, path, error);
}

} // namespace lessonshelf
