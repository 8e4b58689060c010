#include "SafeWrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <acl/libacl.h>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace safewrite {

namespace {

constexpr std::string_view kSuffix = ".vaporia-saving";
constexpr std::size_t kNameMax = 255; // bytes in one name on the usual Linux file systems
constexpr int kMaxLinks = 40;         // as the kernel follows at most
// A file this large is not held in memory to be written back; no file of ours comes near.
constexpr off_t kMaxInPlaceBytes = off_t{256} * 1024 * 1024;
// A save of a few kilobytes takes milliseconds; a lock held longer than this is not a save.
constexpr int kLockTries = 100;
constexpr long kLockPauseNs = 20'000'000;
// Earlier versions used one fixed temporary name and no lock; one this old is no live save.
constexpr time_t kOldFixedNameAge = 60 * 60;

// A file-size limit raises SIGXFSZ, whose default action ends the process. Held blocked
// around the writes, the write fails with EFBIG instead; a signal left pending is then
// taken off before the old mask returns, so it is never delivered.
class HoldFileSizeSignal {
public:
    HoldFileSizeSignal()
    {
        sigemptyset(&set_);
        sigaddset(&set_, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &set_, &old_);
    }
    ~HoldFileSizeSignal()
    {
        sigset_t pending;
        sigemptyset(&pending);
        if (sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1) {
            const timespec now{0, 0};
            while (sigtimedwait(&set_, nullptr, &now) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    HoldFileSizeSignal(const HoldFileSizeSignal&) = delete;
    HoldFileSizeSignal& operator=(const HoldFileSizeSignal&) = delete;

private:
    sigset_t set_;
    sigset_t old_;
};

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void Reset(int fd = -1)
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
private:
    int fd_;
};

bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at, std::size_t& written, int& error)
{
    written = 0;
    while (written < size) {
        const ssize_t n = ::pwrite(fd, data + written, size - written, at + static_cast<off_t>(written));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) { // no progress and no reason given: treat as a full disk
            error = ENOSPC;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAllAt(int fd, std::string& out, std::size_t size, int& error)
{
    out.assign(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, out.data() + got, size - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    // Whatever more there is was not there at fstat's time: another writer, not ours.
    return true;
}

// A lock on the whole file, held by this open file (not the process), so two saves of one
// process exclude each other too.
int TryLock(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

int LockWithin(int fd)
{
    for (int i = 0;; ++i) {
        const int e = TryLock(fd, F_WRLCK);
        if (e != EAGAIN && e != EACCES) return e;
        if (i == kLockTries) return EAGAIN;
        const timespec pause{0, kLockPauseNs};
        ::nanosleep(&pause, nullptr);
    }
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string Folder(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? folder + name : folder + '/' + name;
}

// The name that is written: where a chain of symbolic links ends, else path itself. Only
// the last part of each name is followed; the kernel resolves the folders.
bool ResolveTarget(const std::string& path, std::string& target, int& error)
{
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno == ENOENT) return true; // a new file, or a folder missing: told at create
            error = errno;
            return false;
        }
        if (!S_ISLNK(st.st_mode)) return true;
        if (hops == kMaxLinks) {
            error = ELOOP;
            return false;
        }
        std::string link(static_cast<std::size_t>(std::max<off_t>(st.st_size, 64)) + 1, '\0');
        ssize_t n;
        while ((n = ::readlink(target.c_str(), link.data(), link.size())) >= static_cast<ssize_t>(link.size()))
            link.resize(link.size() * 2);
        if (n <= 0) {
            error = n == 0 ? ENOENT : errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : Join(Folder(target), link);
    }
}

// Temporary names of one target: ".<name>.<pid>-<random>.vaporia-saving", the name replaced
// by a hash of it when the whole would be too long for the file system.
std::string TemporaryPrefix(const std::string& name)
{
    std::string shown = name;
    if (name.size() + 2 + 20 + 1 + 16 + kSuffix.size() > kNameMax)
        shown = QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha1)
                    .toHex()
                    .toStdString();
    std::string prefix(1, '.');
    prefix.append(shown).push_back('.');
    return prefix;
}

std::string NewTemporaryName(const std::string& prefix)
{
    char random[17];
    std::snprintf(random, sizeof random, "%016llx",
                  static_cast<unsigned long long>(QRandomGenerator::system()->generate64()));
    return prefix + std::to_string(::getpid()) + "-" + random + std::string(kSuffix);
}

// The process that made a temporary name, or 0 when the name is none of ours.
pid_t OwnerOf(std::string_view name, std::string_view prefix)
{
    if (name.size() <= prefix.size() + kSuffix.size() || name.substr(0, prefix.size()) != prefix
        || name.substr(name.size() - kSuffix.size()) != kSuffix)
        return 0;
    const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    const auto dash = middle.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 9 || middle.size() - dash - 1 != 16) return 0;
    pid_t pid = 0;
    for (const char c : middle.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : middle.substr(dash + 1))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return 0;
    return pid;
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes what killed saves of this target left: temporary files whose process is gone and
// whose lock no save holds (a save on another computer of a shared folder holds it). What
// cannot be proved stale stays.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string oldFixed = "." + name + std::string(kSuffix);
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName.size() < kSuffix.size() || entryName.substr(entryName.size() - kSuffix.size()) != kSuffix)
            continue;
        const std::string path = Join(folder, std::string(entryName));
        if (entryName == oldFixed) {
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0 && st.st_mtime + kOldFixedNameAge < ::time(nullptr))
                stale.push_back(path);
            continue;
        }
        const pid_t pid = OwnerOf(entryName, prefix);
        if (pid <= 0 || !ProcessGone(pid)) continue;
        struct stat byName {};
        if (::lstat(path.c_str(), &byName) != 0) continue;
        if (!S_ISREG(byName.st_mode)) { // never followed, only its name goes
            stale.push_back(path);
            continue;
        }
        Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat byFd {};
        if (fd.get() < 0 || ::fstat(fd.get(), &byFd) != 0 || !SameFile(byName, byFd)) continue;
        const int e = TryLock(fd.get(), F_RDLCK);
        if (e == 0 || e == EINVAL || e == ENOLCK) stale.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& path : stale) ::unlink(path.c_str());
}

// Creates the save's own temporary file and locks it. The lock is checked to be on the file
// that still has the name: a cleaner on another computer may have taken the name between.
int CreateTemporary(const std::string& folder, const std::string& prefix, mode_t mode, std::string& temp, Fd& fd)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = Join(folder, NewTemporaryName(prefix));
        int raw;
        do {
            raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        } while (raw < 0 && errno == EINTR);
        if (raw < 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        fd.Reset(raw);
        const int e = TryLock(raw, F_WRLCK);
        // A file system without locks still has the process check.
        if (e != 0 && e != EINVAL && e != ENOLCK) return e;
        struct stat byFd {}, byName {};
        if (::fstat(raw, &byFd) == 0 && ::lstat(temp.c_str(), &byName) == 0 && SameFile(byFd, byName))
            return 0;
        fd.Reset();
    }
    return EEXIST;
}

// Gives the new file what the old one had. False when something cannot be reproduced; the
// save then goes in place.
bool CarryOver(int fd, const std::string& target, const struct stat& old)
{
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) return false;
    if (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) {
        // Only a privileged saver may give a file away; anyone may pick a group of theirs.
        const uid_t uid = mine.st_uid == old.st_uid ? static_cast<uid_t>(-1) : old.st_uid;
        if (::fchown(fd, uid, old.st_gid) != 0) return false;
    }

    // The access ACL, or one made of the mode bits alone: the temporary file may have taken
    // entries from the folder's default ACL, which the old file did not have.
    acl_t acl = ::acl_get_file(target.c_str(), ACL_TYPE_ACCESS);
    if (!acl && errno != ENOTSUP) return false;
    if (!acl) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    } else {
        bool set = ::acl_set_fd(fd, acl) == 0;
        ::acl_free(acl);
        if (!set) return false;
        // Set-group-ID and sticky bits are outside the ACL.
        if ((old.st_mode & 07000) != 0 && ::fchmod(fd, old.st_mode & 07777) != 0) return false;
    }

    ssize_t size = ::llistxattr(target.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    std::string names(static_cast<std::size_t>(size), '\0');
    size = ::llistxattr(target.c_str(), names.data(), names.size());
    if (size < 0) return false; // changed meanwhile
    names.resize(static_cast<std::size_t>(size));
    std::string value;
    for (std::size_t at = 0; at < names.size();) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        if (name.empty() || name.rfind("system.posix_acl_", 0) == 0) continue;
        const ssize_t n = ::lgetxattr(target.c_str(), name.c_str(), nullptr, 0);
        if (n < 0) return false;
        value.assign(static_cast<std::size_t>(n), '\0');
        const ssize_t got = ::lgetxattr(target.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0) return false;
        if (::fsetxattr(fd, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) return false;
    }
    return true;
}

// 0 while target still names the open file; kChangedMeanwhile once another writer has put
// a file of its own there, or taken the name away.
int StillAtPath(int fd, const std::string& target)
{
    struct stat byFd {}, byName {};
    if (::fstat(fd, &byFd) != 0) return errno;
    if (::lstat(target.c_str(), &byName) != 0) return errno == ENOENT ? kChangedMeanwhile : errno;
    return SameFile(byFd, byName) ? 0 : kChangedMeanwhile;
}

// The old file itself rewritten: the old bytes are held, and written back over whatever
// the new write changed if it fails.
Result WriteInPlace(const std::string& target, const QByteArray& bytes, const Options& options)
{
    Fd fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return {false, errno};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return {false, errno};
    if (!S_ISREG(st.st_mode)) return {false, EINVAL};
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    if (const int e = LockWithin(fd.get()); e != 0 && e != EINVAL && e != ENOLCK) return {false, e};
    // A replacing save may have held the lock and renamed meanwhile; this file is then no
    // longer the one at the path, and writing it would be lost.
    if (const int e = StillAtPath(fd.get(), target); e != 0) return {false, e};
    if (::fstat(fd.get(), &st) != 0) return {false, errno};
    if (st.st_size > kMaxInPlaceBytes) return {false, EFBIG};
    int error = 0;
    std::string old;
    if (!ReadAllAt(fd.get(), old, static_cast<std::size_t>(st.st_size), error)) return {false, error};
    if (options.onStage) options.onStage(Stage::BeforeReplace);

    const auto newSize = static_cast<std::size_t>(bytes.size());
    // Room for the growth first, where the file system can: a full disk then fails before
    // any old byte is touched.
    if (newSize > old.size()
        && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(newSize)) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS && errno != EINTR)
        return {false, errno};

    std::size_t written = 0;
    bool truncated = false;
    bool good = WriteAllAt(fd.get(), bytes.constData(), newSize, 0, written, error);
    if (good && newSize < old.size()) {
        truncated = true;
        if (::ftruncate(fd.get(), static_cast<off_t>(newSize)) != 0) {
            error = errno;
            good = false;
        }
    }
    if (good && ::fsync(fd.get()) != 0) {
        error = errno;
        good = false;
    }
    // Success only for the file at the path. One replaced meanwhile gets its old bytes
    // back: another name may still lead to it, and a failed save changes nothing.
    if (good && (error = StillAtPath(fd.get(), target)) != 0) good = false;
    if (good) return {true, 0};

    // Back to the old bytes, touching only what changed.
    std::size_t ignored = 0;
    int ignoredError = 0;
    WriteAllAt(fd.get(), old.data(), std::min(written, old.size()), 0, ignored, ignoredError);
    if (truncated && old.size() > newSize)
        WriteAllAt(fd.get(), old.data() + newSize, old.size() - newSize, static_cast<off_t>(newSize), ignored,
                   ignoredError);
    if ((written > old.size() || truncated) && ::ftruncate(fd.get(), static_cast<off_t>(old.size())) != 0) {
        // Nothing more can be done; the error already reported stands.
    }
    (void)::fsync(fd.get());
    return {false, error};
}

// Takes the lock an in-place save of target holds, so the rename cannot land in the middle
// of its write. The lock is kept only on the file that still has the name once granted.
// Without a file to open for writing, or without locks, there is nothing to wait for: the
// in-place save then finds out by itself.
int LockTarget(const std::string& target, Fd& held)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        int raw;
        do {
            raw = ::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        } while (raw < 0 && errno == EINTR);
        held.Reset(raw);
        struct stat byFd {};
        if (raw < 0 || ::fstat(raw, &byFd) != 0 || !S_ISREG(byFd.st_mode)) {
            held.Reset();
            return 0;
        }
        ::fcntl(raw, F_SETFL, ::fcntl(raw, F_GETFL) & ~O_NONBLOCK);
        const int e = LockWithin(raw);
        if (e == EINVAL || e == ENOLCK) {
            held.Reset();
            return 0;
        }
        if (e != 0) {
            held.Reset();
            return e;
        }
        struct stat byName {};
        if (::lstat(target.c_str(), &byName) != 0) {
            held.Reset();
            return 0;
        }
        // Another save renamed while this one waited: the lock that counts is the new file's.
        if (SameFile(byFd, byName)) return 0;
    }
    held.Reset();
    return EAGAIN;
}

void SyncFolder(const std::string& folder)
{
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    // The new file is in place and whole; a folder that cannot be synced (some network
    // file systems) only leaves the rename less durable, so its result is not a failure.
    (void)::fsync(dfd);
    ::close(dfd);
}

bool FolderRefused(int e) { return e == EACCES || e == EPERM; }

} // namespace

Result WriteFileAtomically(const QString& path, const QByteArray& bytes, const Options& options)
{
    if (path.isEmpty() || path.endsWith(u'/')) return {false, EISDIR};
    std::string target;
    int error = 0;
    if (!ResolveTarget(QFile::encodeName(path).toStdString(), target, error)) return {false, error};
    const std::string folder = Folder(target);
    const std::string name = BaseName(target);
    if (name.empty() || name == "." || name == "..") return {false, EISDIR};
    const std::string prefix = TemporaryPrefix(name);

    bool exists = false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {false, EISDIR};
        // A pipe or device would be replaced by a plain file.
        if (!S_ISREG(st.st_mode)) return {false, EINVAL};
        // The rename would replace a read-only file too; its protection is kept.
        if (::access(target.c_str(), W_OK) != 0) return {false, errno};
        exists = true;
    } else if (errno != ENOENT) {
        return {false, errno};
    }

    HoldFileSizeSignal hold;
    // Another name for the same file would be cut off from it by a rename.
    if (exists && st.st_nlink > 1) return WriteInPlace(target, bytes, options);

    RemoveStaleTemporaries(folder, name, prefix);
    std::string temp;
    Fd fd;
    // A new file takes the umask and the folder's default ACL; an old file's own follow.
    error = CreateTemporary(folder, prefix, exists ? 0600 : 0666, temp, fd);
    if (error != 0) {
        if (exists && FolderRefused(error)) return WriteInPlace(target, bytes, options);
        return {false, error};
    }
    auto discard = [&](int e) {
        fd.Reset();
        ::unlink(temp.c_str());
        return Result{false, e};
    };
    if (exists && !CarryOver(fd.get(), target, st)) {
        discard(0);
        return WriteInPlace(target, bytes, options);
    }

    std::size_t written = 0;
    if (!WriteAllAt(fd.get(), bytes.constData(), static_cast<std::size_t>(bytes.size()), 0, written, error))
        return discard(error);
    if (::fsync(fd.get()) != 0) return discard(errno);
    if (options.onStage) options.onStage(Stage::BeforeReplace);
    Fd targetLock;
    if (const int e = LockTarget(target, targetLock); e != 0) return discard(e);
    // The rename comes before the close, so the lock is held until the name is the target's.
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        // Let go first: the write in place takes this same lock.
        targetLock.Reset();
        // A sticky folder refuses to replace another user's file: that file may still be
        // written.
        if (exists && FolderRefused(error)) {
            discard(0);
            return WriteInPlace(target, bytes, options);
        }
        return discard(error);
    }
    targetLock.Reset();
    // fsync has vouched for the bytes; the name is the target's, so the close cannot undo it.
    fd.Reset();
    SyncFolder(folder);
    return {true, 0};
}

QString ReasonText(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("ディスクの空き容量がありません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みが許可されていません。");
    case EROFS:
        return QStringLiteral("このディスクは読み取り専用です。");
    case EFBIG:
    case EOVERFLOW:
        return QStringLiteral("ファイルが大きすぎます。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("保存先のフォルダーがありません。");
    case EISDIR:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のフォルダーがあります。");
    case EINVAL:
        return QStringLiteral("この名前または種類のファイルには保存できません。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが多すぎるか、循環しています。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ほかの保存またはプログラムがこのファイルを使用中です。");
    case ENOLCK:
    case EDEADLK:
        return QStringLiteral("ファイルをロックできません。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case ENOMEM:
        return QStringLiteral("メモリが足りません。");
    case EMLINK:
        return QStringLiteral("フォルダー内のファイルが多すぎます。");
    case EXDEV:
        return QStringLiteral("保存先が別のディスクをまたいでいます。");
    case EEXIST:
        return QStringLiteral("一時ファイルを作れませんでした。");
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return QStringLiteral("このディスクではこの操作ができません。");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("保存先の装置が見つかりません。");
    case kChangedMeanwhile:
        return QStringLiteral("保存している間に、ほかの人がこのファイルを変更しました。もう一度保存してください。");
    case ESTALE:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
    case ENOTCONN:
    case ECONNREFUSED:
        return QStringLiteral("ネットワーク上の保存先との接続に失敗しました。");
    case EINTR:
        return QStringLiteral("保存が中断されました。");
    case EBADF:
        return QStringLiteral("ファイルを書き込み用に開けません。");
    default:
        return QStringLiteral("書き込み中にエラーが発生しました（エラー番号 %1）。").arg(error);
    }
}

} // namespace safewrite
