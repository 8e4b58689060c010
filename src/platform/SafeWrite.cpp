#include "platform/SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace safewrite {

namespace {

Result Fail(int error, const QByteArray& temporary = {})
{
    if (!temporary.isEmpty()) ::unlink(temporary.constData());
    return {false, error ? error : EIO};
}

} // namespace

Result WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty()) return Fail(ENOENT);
    if (info.isDir()) return Fail(EISDIR);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray temporary = QFile::encodeName(info.absolutePath() + QStringLiteral("/.")
                                             + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return Fail(errno);
    // The new file gets the permissions a plain create would give it.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            return Fail(e, temporary);
        }
        data += n;
        left -= n;
    }
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        return Fail(e, temporary);
    }
    if (::close(fd) != 0) return Fail(errno, temporary);
    if (::rename(temporary.constData(), target.constData()) != 0) return Fail(errno, temporary);
    return {true, 0};
}

QString ReasonText(int error)
{
    switch (error) {
    case 0: return QString();
    case EACCES:
    case EPERM: return QStringLiteral("書き込む権限がありません。");
    case EROFS: return QStringLiteral("書き込みのできない場所です。");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクの空きがありません。");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("フォルダーが見つかりません。");
    case EISDIR: return QStringLiteral("同じ名前のフォルダーがあります。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
    default: return QStringLiteral("書き込みに失敗しました (エラー %1)。").arg(error);
    }
}

} // namespace safewrite
