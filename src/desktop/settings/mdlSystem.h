#pragma once
// Settings store: defaults, load and save of CONFIG.INI, section "DATA".
#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/settings/SystemSettings.h"
#include "core/settings/ProfileText.h"

namespace mdlSystem {

// Where CONFIG.INI lives: beside the program, or, when that folder cannot be written and
// holds no CONFIG.INI the user may write (a system-wide install), in the user's
// configuration folder. Resolved anew on each
// load and save, as the folder's writability may change.
//
// Save writes Path(). When that is beside the program, load reads only that file. When it
// is the user's folder, load reads the user's file when it exists, else the one beside the
// program: a CONFIG.INI that a school placed beside a read-only program is the starting
// point until the first save puts the user's own copy in the configuration folder.
struct SettingsLocation {
    QString programDir;    // folder that holds the program
    QString userConfigDir; // fallback folder; empty: no fallback

    // The real location of the running program.
    static SettingsLocation ForApplication();
    QString Path() const;
    QString LoadPath() const;
};

// Joins a folder and "CONFIG.INI"; a folder that already ends with a separator
// (the root of a drive, "/") gets no second one.
QString ConfigFilePath(const QString& dir);

// What the choice of file depends on, gathered from the file system by SettingsLocation.
struct LocationFacts {
    bool hasUserDir = false;          // a fallback folder is known
    bool programDirWritable = false;
    bool programFileExists = false;
    bool programFileWritable = false; // an existing regular file that may be written
    bool userFileExists = false;
};
// True when the file beside the program is the one to write.
bool SaveBesideProgram(const LocationFacts& f);
// True when the file beside the program is the one to read.
bool LoadBesideProgram(const LocationFacts& f);

// Returns the mdlSystem::SettingsFault bits of the values that gave way to their defaults.
unsigned LoadSystemSettings(SystemSettings& s, const SettingsLocation& where);
// Returns false if the file could not be written, with the reason in words for the
// teacher in *error when given; the file is then unchanged.
bool SaveSystemSettings(const SystemSettings& s, const SettingsLocation& where,
                        QString* error = nullptr);

} // namespace mdlSystem
