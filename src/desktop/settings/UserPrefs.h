#pragma once
// The user's own choices of the main window (zoom, which table of values), kept per user
// in a small file of their own. CONFIG.INI is the school's file and never holds them.
#include <QString>

#include <string>
#include <string_view>

namespace userprefs {

struct UserPrefs {
    int zoomPercent = 100; // 100, 150 or 200
    bool dataBook = false; // lookups read the data-book table
    bool legend = false;   // the legend shown over the graph
    bool markers = false;  // the colour-vision choice of markers
    std::string saveFolder; // UTF-8; where the save dialogs open; empty: the platform's choice
};

// $XDG_CONFIG_HOME/vaporia when that is an absolute path, else ~/.config/vaporia. A relative
// XDG_CONFIG_HOME is ignored, as the XDG rules ask. Empty when no home folder is known.
QString UserConfigDir();
// The preferences file in UserConfigDir(); empty when that is empty.
QString UserPrefsPath();

// The file's text. Unknown keys and unreadable values are ignored (the default stays);
// a zoom other than 100, 150 or 200 reads as 100.
UserPrefs ParseUserPrefs(std::string_view text);
std::string FormatUserPrefs(const UserPrefs& prefs);

// A missing or unreadable file, or anything but a regular file, gives the defaults.
UserPrefs LoadUserPrefs(const QString& path);
// Empty when the file at path may be replaced by a save: it is absent, or a regular file
// read in full. Otherwise the reason in words: the load could not have read what it holds.
QString CheckReplaceable(const QString& path);
// Creates the folder when needed. Returns false, with a reason in *error when given, if
// the file could not be written or may not be replaced (CheckReplaceable); the old file is
// then unchanged.
bool SaveUserPrefs(const UserPrefs& prefs, const QString& path, QString* error = nullptr);

} // namespace userprefs
