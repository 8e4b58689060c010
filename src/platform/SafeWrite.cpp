#include "SafeWrite.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <ctime>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace safewrite {

namespace {

constexpr char kSuffix[] = ".vaporia-saving";
constexpr int kNameMax = 255; // bytes in one name on the usual Linux file systems

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

bool WriteAll(int fd, const char* data, qsizetype size, int& error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (n == 0) { // no progress and no reason given: treat as a full disk
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// The file actually written: a symbolic link's final target, else path itself.
QString ResolveTarget(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty()) return target;
        const QString dangling = info.symLinkTarget();
        if (!dangling.isEmpty()) return dangling;
    }
    return path;
}

void SyncFolder(const QByteArray& folder)
{
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return;
    // The new file is in place and whole; a folder that cannot be synced (some network
    // file systems) only leaves the rename less durable, so its result is not a failure.
    (void)::fsync(dfd);
    ::close(dfd);
}

} // namespace

QString TemporaryPathFor(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    QString temp = QStringLiteral(".") + name + QLatin1String(kSuffix);
    if (QFile::encodeName(temp).size() > kNameMax) {
        // Still one fixed name per target, short enough for any name.
        const QByteArray hash =
            QCryptographicHash::hash(QFile::encodeName(name), QCryptographicHash::Sha1).toHex();
        temp = QStringLiteral(".") + QString::fromLatin1(hash) + QLatin1String(kSuffix);
    }
    const QString folder = info.path();
    return folder == QStringLiteral("/") ? folder + temp : folder + u'/' + temp;
}

Result WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty() || path.endsWith(u'/')) return {false, EISDIR};
    const QString target = ResolveTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray tempName = QFile::encodeName(TemporaryPathFor(target));
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());

    mode_t mode = 0666; // narrowed by the umask when the file is new
    bool keepMode = false;
    struct stat st {};
    if (::stat(targetName.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {false, EISDIR};
        // A pipe or device would be replaced by a plain file.
        if (!S_ISREG(st.st_mode)) return {false, EINVAL};
        mode = st.st_mode & 0777;
        keepMode = true;
    } else if (errno != ENOENT) {
        return {false, errno};
    }

    // What a killed save left behind goes first; a link or other file in its place is
    // removed, never written through.
    if (::unlink(tempName.constData()) != 0 && errno != ENOENT) return {false, errno};

    HoldFileSizeSignal hold;
    int fd;
    do {
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return {false, errno};

    int error = 0;
    bool good = WriteAll(fd, bytes.constData(), bytes.size(), error);
    // The replaced file's mode bits carry over. When its owner is someone else (a shared
    // folder) this fails and the umask's bits stay, which is no reason to refuse the save.
    if (good && keepMode) (void)::fchmod(fd, mode);
    if (good && ::fsync(fd) != 0) {
        error = errno;
        good = false;
    }
    // Network file systems may report a failed write only here.
    if (::close(fd) != 0 && good && errno != EINTR) {
        error = errno;
        good = false;
    }
    if (good && ::rename(tempName.constData(), targetName.constData()) != 0) {
        error = errno;
        good = false;
    }
    if (!good) {
        ::unlink(tempName.constData());
        return {false, error};
    }
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
    case EROFS:
        return QStringLiteral("書き込みが許可されていません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("保存先のフォルダーがありません。");
    default:
        return QStringLiteral("書き込み中にエラーが発生しました（エラー番号 %1）。").arg(error);
    }
}

} // namespace safewrite
