#pragma once
// Write failures on demand: a file-size limit (anywhere) and a full disk (a small tmpfs,
// where the test may mount one).
#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace failingdisk {

// Runs body with RLIMIT_FSIZE at `limit` bytes and SIGXFSZ ignored; restores both.
void WithFileSizeLimit(long limit, const std::function<void()>& body);

// The outcome of a child process that mounts a small tmpfs of its own.
enum class Child { Passed, Failed, Unavailable };
// In a child process with a mount namespace of its own: mounts a tmpfs at a fresh folder,
// runs prepare(folder), fills what is left of the disk, then runs check(folder), whose
// result is the child's. Unavailable when the tmpfs cannot be mounted. `what` receives the
// child's failure message.
Child InFullTmpfs(const std::function<void(const QString& folder)>& prepare,
                  const std::function<bool(const QString& folder, QString& what)>& check,
                  QString& what);

// Every file in folder (hidden ones included) with its bytes, for before/after comparisons.
QString ListFolder(const QString& folder, const QString& except = QString());
std::optional<QByteArray> ReadIfExists(const QString& path);
void WriteFixture(const QString& path, const QByteArray& bytes);

} // namespace failingdisk
