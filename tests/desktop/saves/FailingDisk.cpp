#include "FailingDisk.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace failingdisk {

void WithFileSizeLimit(long limit, const std::function<void()>& body)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    struct sigaction ignore {}, oldAction {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &oldAction);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(limit);
    setrlimit(RLIMIT_FSIZE, &small);
    body();
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &oldAction, nullptr);
}

namespace {

void Fill(const QString& folder)
{
    const QByteArray name = QFile::encodeName(folder + QStringLiteral("/.filler"));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    static const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    // The last partial page, one byte at a time.
    while (::write(fd, block, 1) > 0) {
    }
    ::close(fd);
}

constexpr int kUnavailable = 77;

} // namespace

Child InFullTmpfs(const std::function<void(const QString&)>& prepare,
                  const std::function<bool(const QString&, QString&)>& check, QString& what)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return Child::Unavailable;
    const QString folder = QDir::tempPath() + QStringLiteral("/vaporia-fulldisk-%1").arg(::getpid());
    QDir().mkpath(folder);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        QDir().rmdir(folder);
        return Child::Unavailable;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        const QByteArray mountPoint = QFile::encodeName(folder);
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) ::_exit(kUnavailable);
            // The same ids inside: unmapped, files could not be made at all.
            auto put = [](const char* file, const std::string& text) {
                const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
                const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
                if (fd >= 0) ::close(fd);
                return ok;
            };
            put("/proc/self/setgroups", "deny");
            put("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1");
            put("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) ::_exit(kUnavailable);
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=128k") != 0) ::_exit(kUnavailable);
        prepare(folder);
        Fill(folder);
        QString message;
        const bool ok = check(folder, message);
        const QByteArray bytes = message.toUtf8();
        (void)!::write(pipeFds[1], bytes.constData(), static_cast<size_t>(bytes.size()));
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) message.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    QDir().rmdir(folder);
    what = QString::fromUtf8(message);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kUnavailable) return Child::Unavailable;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return Child::Passed;
    if (what.isEmpty()) what = QStringLiteral("child ended with status %1").arg(status);
    return Child::Failed;
}

QString ListFolder(const QString& folder, const QString& except)
{
    QString listing;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (name == except) continue;
        QFile f(dir.filePath(name));
        QByteArray digest;
        // A pipe would block the read.
        if (QFileInfo(f).isFile() && f.open(QIODevice::ReadOnly))
            digest = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex().left(12);
        listing += name + u' ' + QString::fromLatin1(digest) + u'\n';
    }
    return listing;
}

std::optional<QByteArray> ReadIfExists(const QString& path)
{
    QFile f(path);
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

void WriteFixture(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

} // namespace failingdisk
