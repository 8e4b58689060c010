// Every file the program reads, when the name is not a plain file or holds more than the
// reader takes: nothing blocks, and nothing read in part is written back as defaults.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include "FailingDisk.h"
#include "desktop/platform/ReadFile.h"
#include "desktop/scenario/LessonShelf.h"
#include "desktop/scenario/mdlSinario.h"
#include "desktop/settings/UserPrefs.h"
#include "desktop/settings/mdlSystem.h"

using failingdisk::ReadIfExists;
using failingdisk::WriteFixture;

namespace {

// A reader that opens a pipe for reading waits for a writer that never comes: each row runs
// in a child under an alarm, so a hang fails the row instead of the whole run.
TEST(Readers, APipeUnderEveryNameTheProgramReadsNeverBlocks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    QDir(folder).mkpath("program/lessons");
    QDir(folder).mkpath("user");
    auto fifo = [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; };
    ASSERT_TRUE(fifo(folder + "/program/CONFIG.INI"));
    ASSERT_TRUE(fifo(folder + "/user/CONFIG.INI"));
    ASSERT_TRUE(fifo(folder + "/user/preferences.ini"));
    ASSERT_TRUE(fifo(folder + "/lesson.so1"));
    ASSERT_TRUE(fifo(folder + "/program/lessons/a-pipe.so1"));
    ::chmod(QFile::encodeName(folder + "/program").constData(), 0555); // the school's own copy

    const struct {
        const char* name;
        std::function<bool()> read; // true when the reader answered as it should
    } rows[] = {
        {"preferences.ini", [&] { return userprefs::LoadUserPrefs(folder + "/user/preferences.ini").zoomPercent == 100; }},
        {"preferences.ini saved over",
         [&] { return !userprefs::SaveUserPrefs({150, true}, folder + "/user/preferences.ini"); }},
        {"CONFIG.INI beside the program",
         [&] {
             SystemSettings s;
             mdlSystem::LoadSystemSettings(s, {folder + "/program", QString()});
             return s.container == 30;
         }},
        {"CONFIG.INI of the user",
         [&] {
             SystemSettings s;
             mdlSystem::LoadSystemSettings(s, {folder + "/program", folder + "/user"});
             return s.mol == 1 && !mdlSystem::SaveSystemSettings(s, {folder + "/program", folder + "/user"});
         }},
        {".so1 read",
         [&] {
             mdlSinario::SinarioData d;
             return !mdlSinario::ReadSinarioFile(d, folder + "/lesson.so1");
         }},
        {".so1 saved over", [&] { return !mdlSinario::WriteSinarioFile({}, folder + "/lesson.so1"); }},
        {"lessons listing", [&] { return lessonshelf::ListLessons(folder + "/program/lessons").empty(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EXIT(
            {
                ::alarm(10);
                std::exit(row.read() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

TEST(Readers, TheReaderTakesNoMoreThanItsLimitAndSaysWhetherItHadAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("f");
    QByteArray bytes;
    const struct {
        qsizetype size;
        std::size_t limit;
        bool whole;
    } cases[] = {{0, 10, true}, {10, 10, true}, {11, 10, false}, {200000, 2380, false}, {70000, 1 << 20, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        WriteFixture(path, QByteArray(c.size, 'x'));
        const auto got = readfile::ReadRegularFile(path, c.limit, bytes);
        EXPECT_EQ(got.status, readfile::Status::Read);
        EXPECT_EQ(got.whole, c.whole);
        EXPECT_EQ(bytes.size(), std::min<qsizetype>(c.size, static_cast<qsizetype>(c.limit)));
    }
    EXPECT_EQ(readfile::ReadRegularFile(dir.filePath("missing"), 10, bytes).status, readfile::Status::Absent);
    EXPECT_EQ(readfile::ReadRegularFile(dir.path(), 10, bytes).status, readfile::Status::NotAFile);
    EXPECT_EQ(readfile::ReadRegularFile("/dev/zero", 10, bytes).status, readfile::Status::NotAFile);
}

// Keys past what the load reads were never seen; the save must not drop them.
TEST(Readers, PreferencesReadOnlyInPartAreNotOverwritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("preferences.ini");
    QByteArray text = "[vaporia]\n";
    while (text.size() < 70 * 1024) text += "; a note the school keeps in its preferences file\n";
    text += "zoom=200\ndataBook=1\n";
    WriteFixture(path, text);
    QString error;
    EXPECT_FALSE(userprefs::SaveUserPrefs({150, false}, path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadIfExists(path), text);
}

} // namespace
