#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <memory>

#include "assets/assets.h"
#include "main/frmMain.h"
#include "platform/AppIcon.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vaporia"));
    // No organisation name: it would nest the user's settings one folder deeper
    // (~/.config/vaporia/vaporia/ instead of ~/.config/vaporia/).
    QGuiApplication::setApplicationDisplayName(QString());
    InitVaporiaAssets();
    QGuiApplication::setWindowIcon(platform::ProgramIcon());
    // Ties the windows to the desktop entry, whose icon and name Wayland's task bars show.
    QGuiApplication::setDesktopFileName(QStringLiteral("vaporia"));

    // Qt's own texts (file dialogs, standard buttons) in Japanese, like the rest of the program.
    QTranslator qtJapanese;
    if (qtJapanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtJapanese);

    auto shared = std::make_unique<SharedRecords>();
    shared->location = mdlSystem::SettingsLocation::ForApplication();
    shared->prefsPath = userprefs::UserPrefsPath();
    shared->prefs = userprefs::LoadUserPrefs(shared->prefsPath);
    // Building the window loads a few of Qt's own pictures (the menu bar's icons), and Qt
    // finds their format by asking every image plugin installed, loading each one. Hide the
    // plugins while the window is built; the built-in PNG reader does all the start-up needs,
    // and the file dialogs find the plugins again afterwards. The style is chosen first, so a
    // style plugin the user asked for is still found.
    QApplication::style();
    const QStringList pluginPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    frmMain window(*shared);
    window.show();
    QCoreApplication::setLibraryPaths(pluginPaths);
    return app.exec();
}
