// Arbitrary files in a lessons folder: the listing stays within its bounds, lists exactly
// the readable scenarios among the files it opened, in name order, and a listing of an
// unchanged folder is reused without opening a file.
#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <cstring>
#include <ctime>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/scenario/LessonShelf.h"
#include "desktop/scenario/mdlSinario.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

std::string cleanupFolder;

// By bytes: names that are no valid UTF-8 do not survive a QString.
void EmptyFolder(const std::string& folder)
{
    if (DIR* dir = ::opendir(folder.c_str())) {
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
        ::closedir(dir);
        for (const std::string& name : names) ::unlink((folder + '/' + name).c_str());
    }
}

QString Folder()
{
    static const QString folder = [] {
        const QString f = QDir::tempPath() + QStringLiteral("/vaporia-fuzz-lessons-%1").arg(::getpid());
        QDir().mkpath(f);
        // Outlives the function's own static, which is gone by the time this runs.
        cleanupFolder = f.toStdString();
        std::atexit([] {
            EmptyFolder(cleanupFolder);
            ::rmdir(cleanupFolder.c_str());
        });
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString folder = Folder();
    EmptyFolder(QFile::encodeName(folder).toStdString());

    FuzzedDataProvider in(data, size);
    const int maxOpened = in.ConsumeIntegralInRange<int>(0, 8);
    const int files = in.ConsumeIntegralInRange<int>(0, 12);
    const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (int i = 0; i < files && in.remaining_bytes() > 0; ++i) {
        std::string name = in.ConsumeRandomLengthString(12);
        for (char& c : name)
            if (c == '/' || c == '\0') c = '_';
        if (in.ConsumeBool()) name += ".so1";
        if (name.empty() || name == "." || name == "..") continue;
        // Up to past a whole record, so every length the reader meets is met.
        const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, mdlSinario::kRecordSize + 64);
        const std::string bytes = in.ConsumeBytesAsString(length);
        const QByteArray path = QFile::encodeName(folder) + '/' + QByteArray::fromStdString(name);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) continue;
        Check(::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
        ::futimens(fd, old);
        ::close(fd);
    }
    Check(::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), old, 0) == 0);

    const lessonshelf::ListingBounds bounds{maxOpened, std::chrono::hours(1)};
    const auto listing = lessonshelf::RefreshLessons(folder, {}, bounds);
    Check(listing.filesOpened <= maxOpened);
    Check(listing.entries.size() <= static_cast<std::size_t>(listing.filesOpened));
    for (std::size_t i = 0; i < listing.entries.size(); ++i) {
        const auto& e = listing.entries[i];
        mdlSinario::SinarioData d;
        Check(mdlSinario::ReadSinarioFile(d, e.path));
        Check(!e.title.isEmpty());
        if (i > 0) Check(!(e.path < listing.entries[i - 1].path));
    }
    const auto again = lessonshelf::RefreshLessons(folder, listing, bounds);
    Check(again.filesOpened == 0);
    Check(again.entries.size() == listing.entries.size());
    return 0;
}
