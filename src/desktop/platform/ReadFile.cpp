#include "ReadFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace readfile {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

Outcome Failed(Status status, int error) { return {status, error, false}; }

} // namespace

Outcome ReadRegularFile(const QString& path, std::size_t limit, QByteArray& bytes)
{
    bytes.clear();
    if (path.isEmpty()) return Failed(Status::Absent, ENOENT);
    const QByteArray name = QFile::encodeName(path);
    // A device is not even opened: opening some has effects of its own.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT ? Failed(Status::Absent, ENOENT) : Failed(Status::Unreadable, errno);
    if (!S_ISREG(st.st_mode)) return Failed(Status::NotAFile, EINVAL);

    int raw;
    do {
        raw = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) return errno == ENOENT ? Failed(Status::Absent, ENOENT) : Failed(Status::Unreadable, errno);
    const Fd fd(raw);
    if (::fstat(raw, &st) != 0) return Failed(Status::Unreadable, errno);
    if (!S_ISREG(st.st_mode)) return Failed(Status::NotAFile, EINVAL);
    ::fcntl(raw, F_SETFL, ::fcntl(raw, F_GETFL) & ~O_NONBLOCK);

    // One byte past the limit tells whether the file ends within it. The buffer grows with
    // what is read, so a large limit costs nothing on a small file.
    const std::size_t want = limit + 1;
    std::size_t got = 0;
    std::size_t capacity = std::min<std::size_t>(want, std::max<off_t>(st.st_size, 0) + 1);
    QByteArray buffer(static_cast<qsizetype>(std::max<std::size_t>(capacity, 1)), Qt::Uninitialized);
    while (got < want) {
        if (got == static_cast<std::size_t>(buffer.size()))
            buffer.resize(static_cast<qsizetype>(std::min(want, got * 2)));
        const ssize_t n = ::read(raw, buffer.data() + got, static_cast<std::size_t>(buffer.size()) - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Failed(Status::Unreadable, errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    const bool whole = got <= limit;
    buffer.resize(static_cast<qsizetype>(std::min(got, limit)));
    bytes = std::move(buffer);
    return {Status::Read, 0, whole};
}

} // namespace readfile
