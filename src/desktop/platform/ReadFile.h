#pragma once
// The one way this program reads a file: only a regular file is opened for reading (a pipe
// or device under the name would block or never end), and never more than the caller's limit.
#include <QByteArray>
#include <QString>

#include <cstddef>

namespace readfile {

enum class Status {
    Read,       // bytes hold the file, or its first `limit` bytes (see whole)
    Absent,     // no such file (a dangling link too)
    NotAFile,   // a folder, pipe, device or socket: never read
    Unreadable, // could not be opened or read to the end of what was asked
};

struct Outcome {
    Status status = Status::Absent;
    int error = 0;      // errno when Unreadable, EINVAL when NotAFile
    bool whole = false; // Read and the file ended within the limit
};

// Reads at most `limit` bytes of the regular file at path into bytes (cleared first). The
// name is checked before it is opened, and the opened file again, without blocking, so a
// name swapped for a pipe in between is caught too.
Outcome ReadRegularFile(const QString& path, std::size_t limit, QByteArray& bytes);

} // namespace readfile
