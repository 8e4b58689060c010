#pragma once
// The one way this program writes a file: whole or not at all.
#include <QByteArray>
#include <QString>

#include <cerrno>
#include <functional>

namespace safewrite {

// The error of a save written in place whose file another save replaced meanwhile: its
// bytes went to a file no longer at the path. No system call of a save reports this one.
inline constexpr int kChangedMeanwhile = ECANCELED;

struct Result {
    bool ok = false;
    int error = 0; // errno of the first failure, 0 when ok
};

// Points in a save that a test can hold, to force an order between two saves.
enum class Stage {
    BeforeReplace, // the new bytes are about to take the old file's place
};

struct Options {
    std::function<void(Stage)> onStage; // called on the saving thread; may block
};

// Writes bytes to path, replacing an existing file whole.
//
// Usually through a temporary file of the save's own (a unique name, created exclusively,
// locked while the save runs) in the same folder, flushed, fsynced and checked, then
// renamed over the target. Temporary files of earlier saves are removed only when provably
// stale: their process is gone and no save holds their lock. Two saves of one file at once
// both succeed and the file ends as one of them, whole.
//
// The replaced file's mode, owner, group, POSIX ACL and extended attributes are carried
// over. Where they cannot be (another user's file, a group the saver is not in), where the
// folder cannot be written, or where the file has other hard links, the file is written in
// place instead: its old content is held in memory and written back if the new write
// fails, under a lock that keeps a second save out meanwhile. A replacing save takes the
// same lock on the old file for its rename, and waits for it (EAGAIN when it does not
// come). A save in place that finds its file replaced anyway (a writer that takes no lock)
// fails with kChangedMeanwhile and puts the old bytes back into the file it wrote.
//
// On any failure the target is unchanged (or still absent) and no temporary file is left.
// A target that may not be written (read-only) is refused. A target that is a symbolic
// link, or a chain of them, is written where the chain ends, so every link stays; a chain
// that ends in a missing name creates that name. A file-size limit fails with EFBIG even
// where SIGXFSZ would end the process.
Result WriteFileAtomically(const QString& path, const QByteArray& bytes, const Options& options = {});

// The reason in plain Japanese words for a message box, for every error a save meets.
QString ReasonText(int error);

} // namespace safewrite
