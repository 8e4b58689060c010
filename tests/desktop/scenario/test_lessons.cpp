// The committed sample lessons against the tool that makes them, and the lessons folder
// the menu reads.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lessons/LessonBook.h"
#include "desktop/scenario/LessonShelf.h"

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Record(const QString& title, std::int32_t steps = 0)
{
    mdlSinario::SinarioData d;
    mdlSinario::SetTitle(d, title);
    d.stepCount = steps;
    std::array<unsigned char, mdlSinario::kRecordSize> bytes{};
    mdlSinario::EncodeSinario(d, bytes);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

// Rebuild with tools/make_lessons.sh when a lesson changes.
TEST(LessonFiles, CommittedFilesAreWhatTheToolWrites)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    // A longer stale file of the same name must not keep its tail.
    WriteFile(out.filePath("lesson1-water-curve.so1"), QByteArray(3000, 'x'));
    QString error;
    ASSERT_TRUE(lessonbook::WriteLessons(out.path(), &error)) << error.toStdString();

    const QDir committed(QStringLiteral(VAPORIA_LESSONS_DIR));
    const QStringList names = committed.entryList({"*.so1"}, QDir::Files, QDir::Name);
    EXPECT_EQ(names, QDir(out.path()).entryList({"*.so1"}, QDir::Files, QDir::Name));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray made = ReadAll(QDir(out.path()).filePath(name));
        EXPECT_EQ(made.size(), static_cast<qsizetype>(mdlSinario::kRecordSize));
        EXPECT_TRUE(made == ReadAll(committed.filePath(name)));
    }
}

// The title field holds 30 bytes of Shift-JIS: every title must come back whole, and the
// menu lists the lessons in the book's order.
TEST(LessonFiles, MenuListsEveryTitleWholeInOrder)
{
    QStringList titles;
    for (const lessonbook::Lesson& l : lessonbook::Lessons()) {
        titles << l.title;
        EXPECT_LE(l.steps.size(), static_cast<std::size_t>(mdlSinario::kMaxSteps));
    }
    QStringList listed;
    for (const auto& e : lessonshelf::ListLessons(QStringLiteral(VAPORIA_LESSONS_DIR))) listed << e.title;
    EXPECT_EQ(listed, titles);
}

TEST(LessonShelf, PortableFolderFirstThenTheInstalledOne)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir r(root.path());
    ASSERT_TRUE(r.mkpath("usr/bin") && r.mkpath("usr/share/vaporia/lessons"));
    const QString bin = r.filePath("usr/bin");
    EXPECT_EQ(lessonshelf::FindLessonFolder(bin), r.filePath("usr/share/vaporia/lessons"));
    ASSERT_TRUE(r.mkpath("usr/bin/lessons"));
    EXPECT_EQ(lessonshelf::FindLessonFolder(bin), r.filePath("usr/bin/lessons"));

    // A file of that name is no folder; no program folder, no lessons.
    QTemporaryDir other;
    WriteFile(QDir(other.path()).filePath("lessons"), "x");
    EXPECT_EQ(lessonshelf::FindLessonFolder(other.path()), QString());
    EXPECT_EQ(lessonshelf::FindLessonFolder(QString()), QString());
    EXPECT_TRUE(lessonshelf::ListLessons(QString()).empty());
    EXPECT_TRUE(lessonshelf::ListLessons(r.filePath("missing")).empty());
}

TEST(LessonShelf, ListsReadableScenariosByFileNameWithTheirTitles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir d(dir.path());
    WriteFile(d.filePath("b.so1"), Record("  二番目  ", 3));
    WriteFile(d.filePath("a.SO1"), Record("一番目"));
    WriteFile(d.filePath("c-blank.so1"), Record(""));              // blank title: the file name
    WriteFile(d.filePath("d-short.so1"), Record("短い").left(100)); // not a scenario
    WriteFile(d.filePath("e.txt"), Record("ほか"));
    ASSERT_TRUE(d.mkpath("f.so1"));                                 // a folder, not a file

    std::vector<std::pair<QString, QString>> got;
    for (const auto& e : lessonshelf::ListLessons(dir.path())) got.emplace_back(QDir(dir.path()).relativeFilePath(e.path), e.title);
    const std::vector<std::pair<QString, QString>> want{
        {"a.SO1", "一番目"}, {"b.so1", "二番目"}, {"c-blank.so1", "c-blank"}};
    EXPECT_EQ(got, want);

    mdlSinario::SinarioData sinario;
    ASSERT_TRUE(lessonshelf::LoadLesson(sinario, d.filePath("b.so1")));
    EXPECT_EQ(sinario.stepCount, 3);
    const mdlSinario::SinarioData before = sinario;
    EXPECT_FALSE(lessonshelf::LoadLesson(sinario, d.filePath("d-short.so1")));
    EXPECT_FALSE(lessonshelf::LoadLesson(sinario, d.filePath("gone.so1")));
    EXPECT_EQ(sinario, before);
}

// A shared folder full of files that are not scenarios: the listing opens a bounded number
// of them, reading only the record of each, and opening the menu again opens none while
// the folder stays as it was.
TEST(LessonShelf, AFolderOfManyNonScenarioFilesIsListedWithinBoundsAndThenReused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray base = QFile::encodeName(dir.path());
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (int i = 0; i < 50000; ++i) {
        const QByteArray name = base + "/" + QByteArray::number(10000 + i) + ".so1";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "not a scenario", 14), 14);
        ::futimens(fd, anHourAgo);
        ::close(fd);
    }
    // One real lesson among them, first in name order, and one larger than a record.
    QByteArray big = Record("大きいファイル");
    big += QByteArray(1 << 20, 'x');
    WriteFile(dir.filePath("00-big.so1"), big);
    WriteFile(dir.filePath("01-lesson.so1"), Record("本物"));
    for (const char* name : {"/00-big.so1", "/01-lesson.so1", ""})
        ASSERT_EQ(::utimensat(AT_FDCWD, (base + name).constData(), anHourAgo, 0), 0);

    const lessonshelf::ListingBounds bounds{400, std::chrono::hours(1)};
    const auto first = lessonshelf::RefreshLessons(dir.path(), {}, bounds);
    EXPECT_EQ(first.filesOpened, 400);
    EXPECT_FALSE(first.complete);
    ASSERT_EQ(first.entries.size(), 2u);
    EXPECT_EQ(first.entries[0].title, "大きいファイル");
    EXPECT_EQ(first.entries[1].title, "本物");

    const auto again = lessonshelf::RefreshLessons(dir.path(), first, bounds);
    EXPECT_EQ(again.filesOpened, 0);
    EXPECT_EQ(again.entries.size(), 2u);

    // A changed lesson, or a new one, is seen at the next opening.
    WriteFile(dir.filePath("01-lesson.so1"), Record("書き直し"));
    const auto changed = lessonshelf::RefreshLessons(dir.path(), again, bounds);
    EXPECT_GT(changed.filesOpened, 0);
    ASSERT_EQ(changed.entries.size(), 2u);
    EXPECT_EQ(changed.entries[1].title, "書き直し");
    // A listing of the moment a file changed is not trusted: the clock may not have moved.
    EXPECT_GT(lessonshelf::RefreshLessons(dir.path(), changed, bounds).filesOpened, 0);

    // A time budget of nothing opens nothing and says the listing is partial; the next
    // opening goes on where it stopped.
    const auto hurried = lessonshelf::RefreshLessons(dir.path(), {}, {400, std::chrono::milliseconds(-1)});
    EXPECT_EQ(hurried.filesOpened, 0);
    EXPECT_FALSE(hurried.complete);
    EXPECT_TRUE(hurried.entries.empty());
    const auto resumed = lessonshelf::RefreshLessons(dir.path(), hurried, bounds);
    EXPECT_EQ(resumed.filesOpened, 400);
    EXPECT_EQ(resumed.entries.size(), 2u);
}

TEST(LessonShelf, MenuTextShowsTheTitleAsWritten)
{
    const std::pair<QString, QString> cases[] = {
        {"水の蒸気圧曲線", "水の蒸気圧曲線"},
        {"R&D", "R&&D"},
        {"一行目\n二行目\t", "一行目 二行目 "},
    };
    for (const auto& [title, text] : cases) EXPECT_EQ(lessonshelf::MenuText(title), text);
    EXPECT_EQ(lessonshelf::CaptionText("R&D\r\n\x7f"), "R&D   ");
}
