#pragma once
// The lessons that come with the program: scenario files in a folder beside the program
// (a portable copy, the build folder) or in the installed share folder. A school may add
// its own files there; the menu lists whatever the folder holds.
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "desktop/scenario/mdlSinario.h"

namespace lessonshelf {

// Where the lessons may be, in the order they are looked for.
QStringList LessonFolderCandidates(const QString& programDir);
// The first candidate that is a folder; empty when there is none.
QString FindLessonFolder(const QString& programDir);

struct LessonEntry {
    QString path;
    QString title; // the scenario's title, or the file's name when the title is blank
};

// More would make a menu taller than any screen.
constexpr int kMaxListed = 100;

// A folder of many files that are not scenarios (a shared network folder, say) must not hold
// the window: a listing opens at most this many files, and stops after its time budget.
struct ListingBounds {
    int maxOpened = 400;
    std::chrono::milliseconds budget{400};
};

// What a listing was made from, to tell later whether it still holds: the folder (empty
// name) and each file it opened, by size and modification time.
struct ListingStamp {
    std::string name;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
    friend bool operator==(const ListingStamp&, const ListingStamp&) = default;
};

struct LessonListing {
    QString folder;
    std::vector<LessonEntry> entries;
    std::vector<ListingStamp> stamps;
    std::int64_t takenAtNs = 0;
    int filesOpened = 0;  // by this call: 0 when an earlier listing was reused
    bool complete = true; // false when a bound stopped it before the end of the folder
    // Files the time budget left unopened, in order; the next refresh goes on with them.
    std::vector<std::pair<QString, std::string>> pending;
};

// The .so1 files of folder in name order, with their titles; files that cannot be read as a
// scenario are left out. Of each file only the scenario record is read. `previous` is
// reused, without opening a file, while its folder and the files it opened keep their
// times and sizes (and are old enough that a change within the file system's clock step
// would have shown); one its time budget cut short goes on where it stopped.
LessonListing RefreshLessons(const QString& folder, const LessonListing& previous,
                             const ListingBounds& bounds = {});
std::vector<LessonEntry> ListLessons(const QString& folder);

// A title as a menu item's text: one line, "&" shown as itself rather than as a mnemonic.
QString MenuText(const QString& title);
// A title as part of the window's caption: one line.
QString CaptionText(const QString& title);

// Loads the lesson into the scenario in use, as the editor's load does: on failure the
// scenario is unchanged.
bool LoadLesson(mdlSinario::SinarioData& sinario, const QString& path, QString* error = nullptr);

} // namespace lessonshelf
