#pragma once
// The one way files are written: into a temporary file in the same folder, flushed to the
// disk and checked, then renamed over the target, so a failure never leaves a partial file.
#include <QByteArray>
#include <QString>

namespace safewrite {

struct Result {
    bool ok = false;
    int error = 0; // errno of the step that failed; 0 when ok
};

Result WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The reason for an error, in plain Japanese.
QString ReasonText(int error);

} // namespace safewrite
