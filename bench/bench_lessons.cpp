// The lessons menu's listing on a shared folder of 50,000 files that are not scenarios:
// the first listing of the folder, and each later opening of the menu.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "desktop/scenario/LessonShelf.h"

namespace {

const QString& CrowdedFolder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        const QByteArray base = QFile::encodeName(dir.path());
        const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        for (int i = 0; i < 50000; ++i) {
            const int fd = ::open((base + "/" + QByteArray::number(i) + ".so1").constData(),
                                  O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) return false;
            const bool ok = ::write(fd, "not a scenario", 14) == 14;
            ::futimens(fd, anHourAgo);
            ::close(fd);
            if (!ok) return false;
        }
        return ::utimensat(AT_FDCWD, base.constData(), anHourAgo, 0) == 0;
    }();
    static const QString path = made ? dir.path() : QString();
    return path;
}

void BM_LessonListingFirst(benchmark::State& state)
{
    const QString folder = CrowdedFolder();
    if (folder.isEmpty()) {
        state.SkipWithError("folder not made");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(lessonshelf::RefreshLessons(folder, {}));
}
BENCHMARK(BM_LessonListingFirst)->Unit(benchmark::kMillisecond);

void BM_LessonListingReopened(benchmark::State& state)
{
    const QString folder = CrowdedFolder();
    if (folder.isEmpty()) {
        state.SkipWithError("folder not made");
        return;
    }
    const lessonshelf::LessonListing first = lessonshelf::RefreshLessons(folder, {});
    for (auto _ : state) benchmark::DoNotOptimize(lessonshelf::RefreshLessons(folder, first));
}
BENCHMARK(BM_LessonListingReopened)->Unit(benchmark::kMillisecond);

} // namespace
