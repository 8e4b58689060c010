// Files a school shares: saves that meet each other, files owned by a group or guarded by
// an ACL, folders the saver may not write, and names that are not plain files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <acl/libacl.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <future>
#include <grp.h>
#include <poll.h>
#include <sys/acl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <fcntl.h>

#include "FailingDisk.h"
#include "desktop/platform/SafeWrite.h"
#include "desktop/scenario/mdlSinario.h"
#include "desktop/settings/UserPrefs.h"
#include "desktop/settings/mdlSystem.h"

using failingdisk::ReadIfExists;
using failingdisk::WriteFixture;
using safewrite::WriteFileAtomically;

namespace {

QByteArray Name(const QString& path) { return QFile::encodeName(path); }

struct stat StatOf(const QString& path)
{
    struct stat st {};
    ::stat(Name(path).constData(), &st);
    return st;
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A process id that is surely not running: a child that has ended and been reaped.
pid_t EndedProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

QString TemporaryName(const QString& target, pid_t pid)
{
    return QStringLiteral(".%1.%2-0123456789abcdef.vaporia-saving").arg(target).arg(pid);
}

class SharedFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// What killed saves left is removed only when provably stale; a live save's file stays.
TEST_F(SharedFiles, OnlyProvablyStaleTemporaryFilesAreRemoved)
{
    const QString target = Path("lesson.so1");
    WriteFixture(target, "old");
    WriteFixture(Path("elsewhere"), "keep me");
    const pid_t ended = EndedProcess();

    const QString deadPlain = TemporaryName("lesson.so1", ended);
    WriteFixture(Path(deadPlain), "half");
    const QString deadLink = QStringLiteral(".lesson.so1.%1-fedcba9876543210.vaporia-saving").arg(ended);
    ASSERT_TRUE(QFile::link(Path("elsewhere"), Path(deadLink)));
    const QString alive = TemporaryName("lesson.so1", ::getpid());
    WriteFixture(Path(alive), "a save of this process");
    // A save on another computer of a shared folder: its process is unknown here, its lock holds.
    const QString locked = QStringLiteral(".lesson.so1.%1-00000000000000aa.vaporia-saving").arg(ended);
    WriteFixture(Path(locked), "held");
    const int lockFd = ::open(Name(Path(locked)).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(lockFd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(::fcntl(lockFd, F_OFD_SETLK, &lock), 0);
    const QString otherTarget = TemporaryName("other.so1", ended);
    WriteFixture(Path(otherTarget), "another file's");
    // The fixed name of earlier versions, when it is old enough to be no save.
    const QString oldFixed = ".lesson.so1.vaporia-saving";
    WriteFixture(Path(oldFixed), "left by an old version");
    const timespec twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Name(Path(oldFixed)).constData(), twoHoursAgo, 0), 0);

    ASSERT_TRUE(WriteFileAtomically(target, "new").ok);
    ::close(lockFd);
    EXPECT_EQ(ReadIfExists(target), QByteArray("new"));
    EXPECT_EQ(ReadIfExists(Path("elsewhere")), QByteArray("keep me"));
    QStringList expected{alive, locked, otherTarget, "elsewhere", "lesson.so1"};
    expected.sort();
    EXPECT_EQ(Entries(dir_.path()), expected);
}

// Save A is held just before its rename while save B runs from start to end: B must leave
// A's temporary file alone, and both are told the truth.
TEST_F(SharedFiles, TwoSavesOfOneFileBothSucceedAndLeaveOneWholeFile)
{
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "over a file" : "a new file");
        const QString target = Path("CONFIG.INI");
        QFile::remove(target);
        if (existing) WriteFixture(target, "old");
        const QByteArray a(5000, 'a'), b(3000, 'b');
        std::promise<void> aHeld, goOn;
        auto go = goOn.get_future().share();
        safewrite::Options holdA;
        holdA.onStage = [&](safewrite::Stage stage) {
            if (stage != safewrite::Stage::BeforeReplace) return;
            aHeld.set_value();
            go.wait();
        };
        auto saveA = std::async(std::launch::async, [&] { return WriteFileAtomically(target, a, holdA); });
        aHeld.get_future().wait();
        const auto resultB = WriteFileAtomically(target, b);
        EXPECT_TRUE(resultB.ok) << resultB.error;
        EXPECT_EQ(ReadIfExists(target), b);
        goOn.set_value();
        const auto resultA = saveA.get();
        EXPECT_TRUE(resultA.ok) << resultA.error;
        EXPECT_EQ(ReadIfExists(target), a); // the later rename wins, whole
        EXPECT_EQ(Entries(dir_.path()), QStringList{"CONFIG.INI"});
    }
}

// Written in place (a file with a second hard link), the second save waits for the lock
// and, when the first does not let go, says the file is busy instead of tearing it.
TEST_F(SharedFiles, ASecondInPlaceSaveIsToldTheFileIsBusy)
{
    const QString target = Path("points.csv");
    WriteFixture(target, "old");
    ASSERT_EQ(::link(Name(target).constData(), Name(Path("backup.csv")).constData()), 0);
    std::promise<void> aHeld, goOn;
    auto go = goOn.get_future().share();
    safewrite::Options holdA;
    holdA.onStage = [&](safewrite::Stage stage) {
        if (stage != safewrite::Stage::BeforeReplace) return;
        aHeld.set_value();
        go.wait();
    };
    auto saveA = std::async(std::launch::async, [&] { return WriteFileAtomically(target, "from A", holdA); });
    aHeld.get_future().wait();
    const auto resultB = WriteFileAtomically(target, "from B");
    EXPECT_FALSE(resultB.ok);
    EXPECT_EQ(resultB.error, EAGAIN);
    EXPECT_EQ(ReadIfExists(target), QByteArray("old"));
    goOn.set_value();
    EXPECT_TRUE(saveA.get().ok);
    EXPECT_EQ(ReadIfExists(Path("backup.csv")), QByteArray("from A")); // the link saw it
}

// Without forced timing: many saves at once, each one's report is the truth.
TEST_F(SharedFiles, ManyConcurrentSavesAllSucceed)
{
    const QString target = Path("CONFIG.INI");
    std::vector<std::future<int>> savers;
    for (int t = 0; t < 4; ++t)
        savers.push_back(std::async(std::launch::async, [&, t] {
            int failures = 0;
            for (int i = 0; i < 50; ++i)
                failures += !WriteFileAtomically(target, QByteArray(2000 + t, char('a' + t))).ok;
            return failures;
        }));
    for (auto& s : savers) EXPECT_EQ(s.get(), 0);
    const QByteArray last = ReadIfExists(target).value_or(QByteArray());
    ASSERT_GE(last.size(), 2000);
    EXPECT_EQ(last, QByteArray(last.size(), last[0]));
    EXPECT_EQ(Entries(dir_.path()), QStringList{"CONFIG.INI"});
}

TEST_F(SharedFiles, AnAclAndExtendedAttributesAreKept)
{
    const QString target = Path("lesson.so1");
    WriteFixture(target, "old");
    const QByteArray name = Name(target);
    acl_t acl = acl_from_text("u::rw-,u:12345:rw-,g::r--,g:23456:rw-,m::rw-,o::---");
    ASSERT_NE(acl, nullptr);
    const int set = acl_set_file(name.constData(), ACL_TYPE_ACCESS, acl);
    acl_free(acl);
    if (set != 0 && errno == ENOTSUP) GTEST_SKIP() << "no ACLs on this file system";
    ASSERT_EQ(set, 0);
    const bool xattrs = ::setxattr(name.constData(), "user.vaporia.class", "3-B", 3, 0) == 0;
    auto aclText = [&] {
        acl_t now = acl_get_file(name.constData(), ACL_TYPE_ACCESS);
        char* text = acl_to_any_text(now, nullptr, ',', 0);
        const std::string out = text ? text : "";
        acl_free(text);
        acl_free(now);
        return out;
    };
    const std::string before = aclText();
    const ino_t oldInode = StatOf(target).st_ino;

    ASSERT_TRUE(WriteFileAtomically(target, "new").ok);
    EXPECT_EQ(ReadIfExists(target), QByteArray("new"));
    EXPECT_NE(StatOf(target).st_ino, oldInode); // replaced, not written in place
    EXPECT_EQ(aclText(), before);
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(name.constData(), "user.vaporia.class", value, sizeof value), 3);
        EXPECT_STREQ(value, "3-B");
    }
    EXPECT_EQ(Entries(dir_.path()), QStringList{"lesson.so1"});
}

// The folder's default ACL belongs to new files; a replaced file keeps only what it had.
TEST_F(SharedFiles, AFolderDefaultAclDoesNotWidenAReplacedFile)
{
    acl_t def = acl_from_text("u::rwx,u:12345:rwx,g::r-x,m::rwx,o::r-x");
    ASSERT_NE(def, nullptr);
    const int set = acl_set_file(Name(dir_.path()).constData(), ACL_TYPE_DEFAULT, def);
    acl_free(def);
    if (set != 0 && errno == ENOTSUP) GTEST_SKIP() << "no ACLs on this file system";
    ASSERT_EQ(set, 0);
    const QString target = Path("CONFIG.INI");
    ASSERT_TRUE(WriteFileAtomically(target, "first").ok);
    acl_t now = acl_get_file(Name(target).constData(), ACL_TYPE_ACCESS);
    EXPECT_EQ(acl_equiv_mode(now, nullptr), 1) << "a new file takes the folder's default";
    acl_free(now);

    acl_t plain = acl_from_mode(0640);
    ASSERT_EQ(acl_set_file(Name(target).constData(), ACL_TYPE_ACCESS, plain), 0);
    acl_free(plain);
    ASSERT_TRUE(WriteFileAtomically(target, "second").ok);
    now = acl_get_file(Name(target).constData(), ACL_TYPE_ACCESS);
    EXPECT_EQ(acl_equiv_mode(now, nullptr), 0);
    acl_free(now);
    EXPECT_EQ(StatOf(target).st_mode & 0777, 0640u);
}

TEST_F(SharedFiles, LinksAreFollowedToTheEndOfTheChain)
{
    // a.so1 -> b.so1 -> real/c.so1, where c.so1 does not exist yet: both links stay.
    QDir(dir_.path()).mkdir("real");
    ASSERT_EQ(::symlink("b.so1", Name(Path("a.so1")).constData()), 0);
    ASSERT_EQ(::symlink("real/c.so1", Name(Path("b.so1")).constData()), 0);
    ASSERT_TRUE(WriteFileAtomically(Path("a.so1"), "one").ok);
    EXPECT_TRUE(QFileInfo(Path("a.so1")).isSymLink());
    EXPECT_TRUE(QFileInfo(Path("b.so1")).isSymLink());
    EXPECT_EQ(ReadIfExists(Path("real/c.so1")), QByteArray("one"));
    ASSERT_TRUE(WriteFileAtomically(Path("a.so1"), "two").ok);
    EXPECT_EQ(ReadIfExists(Path("real/c.so1")), QByteArray("two"));
    EXPECT_EQ(Entries(Path("real")), QStringList{"c.so1"});

    // A loop is refused and creates nothing.
    ASSERT_EQ(::symlink("loop2", Name(Path("loop1")).constData()), 0);
    ASSERT_EQ(::symlink("loop1", Name(Path("loop2")).constData()), 0);
    const auto r = WriteFileAtomically(Path("loop1"), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ELOOP);
    EXPECT_TRUE(QFileInfo(Path("loop1")).isSymLink());
}

// As any user but root, whom permissions do not bind (root runs the same case as another
// user below).
TEST_F(SharedFiles, AWritableFileInAReadOnlyFolderIsSavedInPlace)
{
    const QString target = Path("folder/points.csv");
    QDir(dir_.path()).mkdir("folder");
    WriteFixture(target, "old");
    ASSERT_EQ(::chmod(Name(Path("folder")).constData(), 0555), 0);
    struct Restore {
        QByteArray folder;
        ~Restore() { ::chmod(folder.constData(), 0755); }
    } restore{Name(Path("folder"))};
    if (::access(Name(Path("folder")).constData(), W_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
    const auto r = WriteFileAtomically(target, "new");
    EXPECT_TRUE(r.ok) << safewrite::ReasonText(r.error).toStdString();
    EXPECT_EQ(ReadIfExists(target), QByteArray("new"));
    EXPECT_EQ(Entries(Path("folder")), QStringList{"points.csv"});
    // A new file there is refused, and says why.
    const auto refused = WriteFileAtomically(Path("folder/new.csv"), "x");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, EACCES);
}

TEST_F(SharedFiles, AFileWithASecondHardLinkIsWrittenInPlace)
{
    const QString target = Path("lesson.so1");
    WriteFixture(target, QByteArray(5000, 'o'));
    ASSERT_EQ(::link(Name(target).constData(), Name(Path("copy.so1")).constData()), 0);
    const ino_t inode = StatOf(target).st_ino;
    for (const QByteArray& bytes : {QByteArray(100, 's'), QByteArray(9000, 'l')}) {
        ASSERT_TRUE(WriteFileAtomically(target, bytes).ok);
        EXPECT_EQ(ReadIfExists(target), bytes);
        EXPECT_EQ(ReadIfExists(Path("copy.so1")), bytes);
        EXPECT_EQ(StatOf(target).st_ino, inode);
    }
}

// Each error a save can meet reads as words, not as a number.
TEST(SaveReasons, EveryErrorASaveMeetsIsInWords)
{
    for (const int e : {ENOSPC, EDQUOT, EACCES, EPERM, EROFS, EFBIG, ENOENT, ENOTDIR, EISDIR, EINVAL,
                        ENAMETOOLONG, ELOOP, EIO, EAGAIN, EBUSY, ETXTBSY, ENOLCK, EMFILE, ENFILE, ENOMEM,
                        EMLINK, EXDEV, EEXIST, EOPNOTSUPP, ENXIO, ESTALE, ETIMEDOUT, ECONNRESET, EINTR,
                        EBADF, EOVERFLOW, ENOTEMPTY, safewrite::kChangedMeanwhile}) {
        const QString text = safewrite::ReasonText(e);
        EXPECT_FALSE(text.isEmpty()) << e;
        EXPECT_FALSE(text.contains(QStringLiteral("エラー番号"))) << e << " " << text.toStdString();
    }
    EXPECT_TRUE(safewrite::ReasonText(0).isEmpty());
    // A file changed under the save is not a network failure: saving again helps.
    EXPECT_NE(safewrite::ReasonText(safewrite::kChangedMeanwhile), safewrite::ReasonText(ESTALE));
}

// ---------------------------------------------------------------- as another user

// Runs body in a child process with the given identity; the child's exit code is body's
// result. Only root can take another identity; elsewhere nullopt, and the test skips.
std::optional<bool> AsUser(uid_t uid, gid_t gid, std::vector<gid_t> groups, const std::function<bool()>& body)
{
    if (::geteuid() != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0
            || ::setresuid(uid, uid, uid) != 0)
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A save as another user in a child process that runs while the test goes on; with hold,
// the save stops at Stage::BeforeReplace until Release.
class SaveAsUser {
public:
    SaveAsUser(uid_t uid, gid_t gid, const QString& path, const QByteArray& bytes, bool hold)
    {
        // Sockets rather than pipes: a byte for a child that has ended is no SIGPIPE.
        int held[2], release[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, held) != 0) return;
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, release) != 0) {
            ::close(held[0]);
            ::close(held[1]);
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(held[0]);
            ::close(release[1]);
            if (::setgroups(1, &gid) != 0 || ::setresgid(gid, gid, gid) != 0 || ::setresuid(uid, uid, uid) != 0)
                ::_exit(kNoIdentity);
            safewrite::Options options;
            if (hold)
                options.onStage = [&](safewrite::Stage) {
                    char c = 'h';
                    (void)!::send(held[1], &c, 1, MSG_NOSIGNAL);
                    (void)!::read(release[0], &c, 1);
                };
            const auto r = WriteFileAtomically(path, bytes, options);
            ::_exit(r.ok ? 0 : r.error > 0 && r.error < kNoIdentity ? r.error : kNoIdentity);
        }
        ::close(held[1]);
        ::close(release[0]);
        held_ = held[0];
        release_ = release[1];
        if (pid_ < 0) Release();
    }
    ~SaveAsUser()
    {
        Release();
        Result();
        if (held_ >= 0) ::close(held_);
    }
    SaveAsUser(const SaveAsUser&) = delete;
    SaveAsUser& operator=(const SaveAsUser&) = delete;

    pid_t pid() const { return pid_; }
    // True once the save is held; false when it ended (or hung) without getting there.
    bool Held()
    {
        pollfd p{held_, POLLIN, 0};
        char c;
        return held_ >= 0 && ::poll(&p, 1, 10'000) == 1 && ::read(held_, &c, 1) == 1;
    }
    void Release()
    {
        if (release_ < 0) return;
        const char c = 'r';
        (void)!::send(release_, &c, 1, MSG_NOSIGNAL); // a byte, not EOF: later children share it
        ::close(release_);
        release_ = -1;
    }
    bool Running() const
    {
        siginfo_t info{};
        return pid_ > 0 && !status_ && ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0
            && info.si_pid == 0;
    }
    // The save's errno, 0 when it succeeded.
    int Result()
    {
        if (!status_ && pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : kNoIdentity;
        }
        return status_.value_or(kNoIdentity);
    }

private:
    static constexpr int kNoIdentity = 255;
    pid_t pid_ = -1;
    int held_ = -1;
    int release_ = -1;
    std::optional<int> status_;
};

// Whether process pid opens path more often than the `inherited` descriptors it was born
// with; polled for at most ten seconds.
bool OpensWithin(pid_t pid, const QString& path, int inherited)
{
    const QByteArray want = Name(QFileInfo(path).canonicalFilePath());
    const QByteArray fds = "/proc/" + QByteArray::number(pid) + "/fd";
    for (int i = 0; i < 2000; ++i) {
        int count = 0;
        if (DIR* dir = ::opendir(fds.constData())) {
            while (const dirent* entry = ::readdir(dir)) {
                char link[4096];
                const ssize_t n = ::readlink((fds + '/' + entry->d_name).constData(), link, sizeof link);
                count += n > 0 && QByteArray(link, n) == want;
            }
            ::closedir(dir);
        }
        if (count > inherited) return true;
        ::usleep(5000);
    }
    return false;
}

constexpr uid_t kTeacherA = 41001, kTeacherB = 41002;
constexpr gid_t kTeachers = 42000, kTeacherBOwn = 42002;

void Own(const QString& path, uid_t uid, gid_t gid, mode_t mode)
{
    ASSERT_EQ(::lchown(Name(path).constData(), uid, gid), 0);
    ASSERT_EQ(::chmod(Name(path).constData(), mode), 0);
}

class AnotherUser : public SharedFiles {
protected:
    void SetUp() override
    {
        SharedFiles::SetUp();
        if (::geteuid() != 0) {
            GTEST_SKIP() << "taking another user's identity needs root";
        }
        // The test's folder lies in a private one; the other users must reach it.
        ASSERT_EQ(::chmod(Name(dir_.path()).constData(), 0755), 0);
        QDir(dir_.path()).mkdir("room");
        room_ = Path("room");
    }
    QString room_;
};

// A lessons file of the teachers' group, saved by another teacher of the group.
TEST_F(AnotherUser, AGroupFileSavedByAnotherMemberKeepsOwnerGroupAndMode)
{
    Own(room_, kTeacherA, kTeachers, 02775);
    const QString lesson = room_ + "/lesson.so1";
    WriteFixture(lesson, "A's lesson");
    Own(lesson, kTeacherA, kTeachers, 0664);
    // And one of B's own, in the group but not B's main group: replaced, group kept.
    const QString mine = room_ + "/mine.so1";
    WriteFixture(mine, "B's lesson");
    Own(mine, kTeacherB, kTeachers, 0664);
    const ino_t mineInode = StatOf(mine).st_ino;

    const auto saved = AsUser(kTeacherB, kTeacherBOwn, {kTeacherBOwn, kTeachers}, [&] {
        return WriteFileAtomically(lesson, "edited by B").ok && WriteFileAtomically(mine, "B again").ok;
    });
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(*saved);
    EXPECT_EQ(ReadIfExists(lesson), QByteArray("edited by B"));
    EXPECT_EQ(ReadIfExists(mine), QByteArray("B again"));
    for (const auto& [path, owner] : {std::pair{lesson, kTeacherA}, std::pair{mine, kTeacherB}}) {
        SCOPED_TRACE(path.toStdString());
        const struct stat st = StatOf(path);
        EXPECT_EQ(st.st_uid, owner);
        EXPECT_EQ(st.st_gid, kTeachers);
        EXPECT_EQ(st.st_mode & 07777, 0664u);
    }
    EXPECT_NE(StatOf(mine).st_ino, mineInode);
    EXPECT_EQ(Entries(room_), (QStringList{"lesson.so1", "mine.so1"}));
}

// A file the user may write, in a folder the user may not: saved in place, as it used to be.
TEST_F(AnotherUser, AWritableFileInAFolderThatIsNotIsSavedInPlace)
{
    Own(room_, 0, 0, 0755);
    QDir(dir_.path()).mkdir("sticky");
    const QString sticky = Path("sticky");
    Own(sticky, 0, 0, 01777);
    const struct {
        const char* name;
        QString path;    // the file written
        QString through; // the name saved to
    } cases[] = {
        {"read-only folder", room_ + "/points.csv", room_ + "/points.csv"},
        {"link into a read-only folder", room_ + "/lesson.so1", sticky + "/link.so1"},
        {"another user's file in a sticky folder", sticky + "/shared.so1", sticky + "/shared.so1"},
    };
    for (const auto& c : cases) {
        WriteFixture(c.path, "old");
        Own(c.path, kTeacherA, kTeachers, 0666);
        if (c.through != c.path) {
            ASSERT_EQ(::symlink(Name(c.path).constData(), Name(c.through).constData()), 0);
        }
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto saved = AsUser(kTeacherB, kTeacherBOwn, {kTeacherBOwn}, [&] {
            return WriteFileAtomically(c.through, "new").ok;
        });
        ASSERT_TRUE(saved.has_value());
        EXPECT_TRUE(*saved);
        EXPECT_EQ(ReadIfExists(c.path), QByteArray("new"));
        EXPECT_EQ(StatOf(c.path).st_uid, kTeacherA);
    }
    EXPECT_EQ(Entries(room_), (QStringList{"lesson.so1", "points.csv"}));
}

// One CONFIG.INI for a computer room: writable, in the program's folder that is not.
TEST_F(AnotherUser, ASharedConfigFileInAReadOnlyFolderIsSavedThere)
{
    Own(room_, 0, 0, 0755);
    const QString config = room_ + "/CONFIG.INI";
    WriteFixture(config, "; 理科室\r\n[DATA]\r\nmol=2\r\n");
    Own(config, kTeacherA, kTeachers, 0666);
    QDir(dir_.path()).mkdir("home");
    Own(Path("home"), kTeacherB, kTeacherBOwn, 0755);
    const mdlSystem::SettingsLocation where{room_, Path("home") + "/vaporia"};
    const auto saved = AsUser(kTeacherB, kTeacherBOwn, {kTeacherBOwn}, [&] {
        SystemSettings s;
        mdlSystem::InitSystemSettings(s);
        s.mol = 7;
        return mdlSystem::SaveSystemSettings(s, where);
    });
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(*saved);
    const QByteArray text = ReadIfExists(config).value_or(QByteArray());
    EXPECT_TRUE(text.startsWith("; 理科室\r\n[DATA]\r\nmol=7 ")) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("home/vaporia/CONFIG.INI")));
    EXPECT_EQ(StatOf(config).st_uid, kTeacherA);
}

// Preferences the user cannot read were never loaded; the save must not replace them with
// the defaults, and says so.
TEST_F(AnotherUser, UnreadablePreferencesAreLeftAlone)
{
    Own(room_, kTeacherB, kTeacherBOwn, 0755);
    const QString prefs = room_ + "/preferences.ini";
    const QByteArray text = "[vaporia]\nzoom=200\ndataBook=1\n";
    WriteFixture(prefs, text);
    Own(prefs, kTeacherB, kTeacherBOwn, 0200);
    const auto refused = AsUser(kTeacherB, kTeacherBOwn, {kTeacherBOwn}, [&] {
        QString error;
        const userprefs::UserPrefs loaded = userprefs::LoadUserPrefs(prefs);
        return loaded.zoomPercent == 100 && !userprefs::SaveUserPrefs({150, false}, prefs, &error)
            && !error.isEmpty();
    });
    ASSERT_TRUE(refused.has_value());
    EXPECT_TRUE(*refused);
    EXPECT_EQ(ReadIfExists(prefs), text);
}

// Teacher A saves B's file in a sticky shared folder, in place (A cannot keep its owner),
// while B saves it too, replacing it. B's rename waits for A's write; when A keeps the file
// past the wait, B is told it is busy and leaves nothing behind.
TEST_F(AnotherUser, AnInPlaceSaveAndAReplacingSaveOfOneFileWaitForEachOther)
{
    Own(room_, 0, 0, 01777);
    const QString target = room_ + "/S";
    const QByteArray a(6000, 'a'), b(4000, 'b');
    for (const bool aLetsGoInTime : {true, false}) {
        SCOPED_TRACE(aLetsGoInTime ? "A lets go within B's wait" : "A holds on");
        WriteFixture(target, "OLD");
        Own(target, kTeacherB, kTeacherBOwn, 0666);
        SaveAsUser saveA(kTeacherA, kTeachers, target, a, true);
        ASSERT_TRUE(saveA.Held());
        SaveAsUser saveB(kTeacherB, kTeacherBOwn, target, b, false);
        if (aLetsGoInTime) {
            ::usleep(300'000);
            EXPECT_TRUE(saveB.Running()) << "B did not wait";
            EXPECT_EQ(ReadIfExists(target), QByteArray("OLD"));
            saveA.Release();
            EXPECT_EQ(saveA.Result(), 0);
            EXPECT_EQ(saveB.Result(), 0);
            EXPECT_EQ(ReadIfExists(target), b);
        } else {
            EXPECT_EQ(saveB.Result(), EAGAIN);
            EXPECT_EQ(ReadIfExists(target), QByteArray("OLD"));
            saveA.Release();
            EXPECT_EQ(saveA.Result(), 0);
            EXPECT_EQ(ReadIfExists(target), a);
        }
        EXPECT_EQ(StatOf(target).st_uid, kTeacherB);
        EXPECT_EQ(Entries(room_), QStringList{"S"});
    }
}

// The same in-place save, its file replaced by one that takes no lock (another program,
// or a file system without locks), or by a save that held the lock while A waited for it.
// A must not report a success that is not on disk; the file it opened gets its old bytes
// back, and the replacement stays whole.
TEST_F(AnotherUser, AnInPlaceSaveWhoseFileIsReplacedMeanwhileFails)
{
    Own(room_, 0, 0, 01777);
    const QString target = room_ + "/S";
    const QString record = room_ + "/B's record";
    const QByteArray a(6000, 'a'), b = "[B]\nwhole record of B\n";
    for (const bool duringTheWrite : {true, false}) {
        SCOPED_TRACE(duringTheWrite ? "replaced during A's write" : "replaced while A waits for the lock");
        WriteFixture(target, "OLD");
        Own(target, kTeacherB, kTeacherBOwn, 0666);
        WriteFixture(record, b);
        Own(record, kTeacherB, kTeacherBOwn, 0666);
        const int old = ::open(Name(target).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(old, 0);
        const int lock = ::open(Name(target).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(lock, 0);
        // As a replacing save holds it; a lock of this process, as the child must not share it.
        struct flock whole {};
        whole.l_type = F_WRLCK;
        if (!duringTheWrite) {
            ASSERT_EQ(::fcntl(lock, F_SETLK, &whole), 0);
        }

        SaveAsUser saveA(kTeacherA, kTeachers, target, a, true);
        if (duringTheWrite) {
            ASSERT_TRUE(saveA.Held());
        } else {
            ASSERT_TRUE(OpensWithin(saveA.pid(), target, 2)); // old and lock
        }
        ASSERT_EQ(::rename(Name(record).constData(), Name(target).constData()), 0);
        ::close(lock);
        if (!duringTheWrite) {
            EXPECT_FALSE(saveA.Held()) << "A wrote a file no longer at the path";
        }
        saveA.Release();
        EXPECT_EQ(saveA.Result(), safewrite::kChangedMeanwhile);
        EXPECT_EQ(ReadIfExists(target), b);
        char back[16] = {};
        EXPECT_EQ(::pread(old, back, sizeof back, 0), 3);
        EXPECT_STREQ(back, "OLD");
        ::close(old);
        EXPECT_EQ(Entries(room_), QStringList{"S"});
    }
}

} // namespace
