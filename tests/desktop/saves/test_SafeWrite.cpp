#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdlib>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "FailingDisk.h"
#include "desktop/platform/SafeWrite.h"

using failingdisk::ListFolder;
using failingdisk::ReadIfExists;
using failingdisk::WriteFixture;
using safewrite::WriteFileAtomically;

namespace {

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(SafeWrite, CreatesAndReplacesKeepingTheModeAndLeavingNoTemporaryFile)
{
    const QString target = Path("CONFIG.INI");
    auto r = WriteFileAtomically(target, "first");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.error, 0);
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);

    r = WriteFileAtomically(target, QByteArray(10000, 'x'));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(ReadIfExists(target), QByteArray(10000, 'x'));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"CONFIG.INI"});
}

TEST_F(SafeWrite, ALinkedTargetStaysALink)
{
    QDir(dir_.path()).mkdir("real");
    const QString real = Path("real/CONFIG.INI");
    WriteFixture(real, "old");
    const QString link = Path("CONFIG.INI");
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(WriteFileAtomically(link, "new").ok);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadIfExists(real), QByteArray("new"));
    EXPECT_EQ(QDir(Path("real")).entryList(QDir::Files | QDir::Hidden), QStringList{"CONFIG.INI"});
}

TEST_F(SafeWrite, ANameAtTheLengthLimitGetsAShortTemporaryName)
{
    const QString target = Path(QString(250, u'a') + ".so1"); // 254 bytes, the limit is 255
    WriteFixture(target, "old"); // a replacing save goes through its temporary file
    ASSERT_TRUE(WriteFileAtomically(target, "x").ok);
    EXPECT_EQ(ReadIfExists(target), QByteArray("x"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(SafeWrite, TargetsThatCannotBeWrittenAreRefusedAndLeaveNothing)
{
    QDir(dir_.path()).mkdir("folder");
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600), 0);
    const struct {
        const char* name;
        int error;
    } cases[] = {
        {"folder", EISDIR},           // a folder under the name
        {"pipe", EINVAL},             // a pipe would be replaced by a plain file
        {"missing/CONFIG.INI", ENOENT}, // no such folder
    };
    const QString before = ListFolder(dir_.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = WriteFileAtomically(Path(c.name), "x");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, c.error);
        EXPECT_FALSE(safewrite::ReasonText(r.error).isEmpty());
    }
    EXPECT_EQ(ListFolder(dir_.path()), before);
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
}

// The program does not ignore SIGXFSZ; a save past the file-size limit must fail, not end it.
TEST_F(SafeWrite, AFileSizeLimitFailsTheSaveWithoutEndingTheProgram)
{
    const QString target = Path("CONFIG.INI");
    WriteFixture(target, "old");
    EXPECT_EXIT(
        {
            signal(SIGXFSZ, SIG_DFL);
            rlimit small{};
            getrlimit(RLIMIT_FSIZE, &small);
            small.rlim_cur = 100;
            setrlimit(RLIMIT_FSIZE, &small);
            const auto r = WriteFileAtomically(target, QByteArray(1000, 'x'));
            std::exit(!r.ok && r.error == EFBIG ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadIfExists(target), QByteArray("old"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"CONFIG.INI"});
}

} // namespace
