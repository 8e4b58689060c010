#pragma once
// The lessons that come with the program: scenario files in a folder beside the program
// (a portable copy, the build folder) or in the installed share folder. A school may add
// its own files there; the menu lists whatever the folder holds.
#include <QString>
#include <QStringList>
#include <vector>

#include "scenario/mdlSinario.h"

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

// The .so1 files of folder in name order, with their titles. Files that cannot be read as a
// scenario are left out.
std::vector<LessonEntry> ListLessons(const QString& folder);

// A title as a menu item's text: one line, "&" shown as itself rather than as a mnemonic.
QString MenuText(const QString& title);

// Loads the lesson into the scenario in use, as the editor's load does: on failure the
// scenario is unchanged.
bool LoadLesson(mdlSinario::SinarioData& sinario, const QString& path, QString* error = nullptr);

} // namespace lessonshelf
