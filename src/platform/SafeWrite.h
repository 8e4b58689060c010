#pragma once
// The one way this program writes a file: whole or not at all.
#include <QByteArray>
#include <QString>

namespace safewrite {

struct Result {
    bool ok = false;
    int error = 0; // errno of the first failure, 0 when ok
};

// Writes bytes to path through a temporary file in the same folder (one fixed temporary
// name per target, so a stale one is replaced by the next save), flushed, fsynced and
// checked, then renamed over the target. On any failure the target is unchanged (or still
// absent) and no temporary file is left. A target that is a symbolic link is written where
// the link points, so the link stays. A file-size limit fails with EFBIG even where
// SIGXFSZ would end the process.
Result WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The temporary file WriteFileAtomically uses for path.
QString TemporaryPathFor(const QString& path);

// The reason in plain Japanese words for a message box (disk full, not permitted, file
// too large, folder missing, other).
QString ReasonText(int error);

} // namespace safewrite
