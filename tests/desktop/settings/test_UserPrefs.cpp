#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "desktop/settings/UserPrefs.h"

using namespace userprefs;

TEST(UserPrefs, ParsesOnlyWhatItKnows)
{
    struct Case { const char* text; int zoom; bool dataBook; };
    const Case cases[] = {
        {"", 100, false},
        {"[vaporia]\nzoom=150\ndataBook=1\n", 150, true},
        {"[VAPORIA]\r\nZoom = 200\r\n", 200, false},
        {"[vaporia]\nzoom=175\ndataBook=yes\n", 100, false},  // not a choice of the menu
        {"[vaporia]\nzoom=-2147483649\n", 100, false},
        {"zoom=200\n[other]\nzoom=150\n", 100, false},         // outside its section
        {"\xEF\xBB\xBF[vaporia]\nzoom=200\n", 200, false},
        {"[vaporia]\nzoom=\x00" "200\n", 100, false},
    };
    for (const Case& c : cases) {
        const UserPrefs p = ParseUserPrefs(c.text);
        EXPECT_EQ(p.zoomPercent, c.zoom) << c.text;
        EXPECT_EQ(p.dataBook, c.dataBook) << c.text;
    }
}

TEST(UserPrefs, SaveAndLoadRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/sub/preferences.ini");
    EXPECT_EQ(LoadUserPrefs(path).zoomPercent, 100); // missing file: defaults
    for (const UserPrefs p : {UserPrefs{150, true, false, false, {}}, UserPrefs{200, false, true, true, {}},
                              UserPrefs{100, true, false, true, {}}}) {
        QString error;
        ASSERT_TRUE(SaveUserPrefs(p, path, &error)) << error.toStdString();
        const UserPrefs back = LoadUserPrefs(path);
        EXPECT_EQ(back.zoomPercent, p.zoomPercent);
        EXPECT_EQ(back.dataBook, p.dataBook);
        EXPECT_EQ(back.legend, p.legend);
        EXPECT_EQ(back.markers, p.markers);
    }
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/sub")).entryList(QDir::Files).size(), 1);
}

TEST(UserPrefs, SaveFolderRoundTripsAndOnlyWhatOneLineHolds)
{
    struct Case { std::string folder; std::string back; };
    const Case cases[] = {
        {"/home/先生/授業 資料", "/home/先生/授業 資料"},
        {"", ""},
        {"/tmp/a\nzoom=200", ""},                  // a line break would forge a key
        {std::string("/tmp/a\0b", 8), ""},
        {" /tmp/padded", ""},                      // the reader trims: it would come back changed
        {std::string(5000, 'a'), ""},             // beyond PATH_MAX
    };
    for (const Case& c : cases) {
        UserPrefs p;
        p.zoomPercent = 150;
        p.saveFolder = c.folder;
        const UserPrefs back = ParseUserPrefs(FormatUserPrefs(p));
        EXPECT_EQ(back.saveFolder, c.back) << c.folder.substr(0, 40);
        EXPECT_EQ(back.zoomPercent, 150) << c.folder.substr(0, 40);
    }
    EXPECT_EQ(ParseUserPrefs("[vaporia]\nsaveFolder=\x01/x\n").saveFolder, "");
}

TEST(UserPrefs, ConfigDirIgnoresRelativeXdg)
{
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/srv/cfg/");
    EXPECT_EQ(UserConfigDir(), QStringLiteral("/srv/cfg/vaporia"));
    qputenv("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(UserConfigDir(), QDir::homePath() + QStringLiteral("/.config/vaporia"));
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(UserConfigDir(), QDir::homePath() + QStringLiteral("/.config/vaporia"));
    if (old.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", old);
}
