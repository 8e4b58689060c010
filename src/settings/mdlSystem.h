#pragma once
// Settings store: defaults, load and save of CONFIG.INI, section "DATA".
#include <QString>

#include "SystemSettings.h"

namespace mdlSystem {

// Where CONFIG.INI lives: beside the program, or, when that folder cannot be written
// (a system-wide install), in the user's configuration folder. Resolved anew on each
// load and save, as the folder's writability may change.
struct SettingsLocation {
    QString programDir;    // folder that holds the program
    QString userConfigDir; // fallback folder; empty: no fallback

    // The real location of the running program.
    static SettingsLocation ForApplication();
    QString Path() const;
};

// Joins a folder and "CONFIG.INI"; a folder that already ends with a separator
// (the root of a drive, "/") gets no second one.
QString ConfigFilePath(const QString& dir);

void InitSystemSettings(SystemSettings& s);
void LoadSystemSettings(SystemSettings& s, const SettingsLocation& where);
// Returns false (with a reason in *error when given) if the file could not be written.
bool SaveSystemSettings(const SystemSettings& s, const SettingsLocation& where,
                        QString* error = nullptr);

} // namespace mdlSystem
