#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <memory>
#include <optional>
#include <vector>

#include "assets/assets.h"
#include "desktop/main/StartFile.h"
#include "desktop/settings/mdlCommon.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/ScaleFit.h"

namespace {

// Run asks to be started again at another scale factor.
constexpr int kStartAgain = -1;

int Run(int argc, char* argv[], bool mayRescale)
{
    QApplication app(argc, argv);
    // Qt has taken its own options out: what is left must be ours.
    const startfile::CommandLine cmd = startfile::ParseCommandLine(QCoreApplication::arguments(), false);
    if (cmd.action == startfile::CommandLine::Action::Error) {
        std::fputs(cmd.output.toLocal8Bit().constData(), stderr);
        return 2;
    }
    // No organisation name: it would nest the user's settings one folder deeper
    // (~/.config/vaporia/vaporia/ instead of ~/.config/vaporia/).
    QGuiApplication::setApplicationDisplayName(QString());
    InitVaporiaAssets();
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
    std::optional<QString> startProblem;
    if (!cmd.file.isEmpty()) startProblem = startfile::LoadStartScenario(shared->program.EditSinario(), cmd.file);
    // Building the window loads pictures (the program's icon, the menu bar's icons), and Qt
    // finds their format by asking every image plugin installed, loading each one. Hide the
    // plugins meanwhile; the built-in PNG reader does all the start-up needs, and the file
    // dialogs find the plugins again afterwards. The style is chosen first, so a style plugin
    // the user asked for is still found.
    QApplication::style();
    const QStringList pluginPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    frmMain window(*shared);
    QCoreApplication::setLibraryPaths(pluginPaths);
    // A scale factor at which even 100 % runs off the screen gives way to the largest that
    // fits; Qt reads it only as it starts.
    if (const std::optional<double> fits = mayRescale ? window.ScaleThatFits() : std::nullopt) {
        bool set = false;
        const double setting = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
        const double ratio = window.screen() ? window.screen()->devicePixelRatio() : 1.0;
        qputenv("QT_SCALE_FACTOR",
                QByteArray::number(platform::ScaleFactorSetting(set ? setting : 1.0, ratio, *fits)));
        return kStartAgain;
    }
    // Any other window without an icon of its own shows the main window's: one icon, its
    // pictures read once.
    QGuiApplication::setWindowIcon(window.windowIcon());
    window.show();
    if (startProblem) {
        // Over the window, once it is up, so the teacher sees what it concerns.
        QTimer::singleShot(0, &window, [&window, text = *startProblem] {
            QMessageBox box(QMessageBox::Warning, mdlCommon::kProgramCaption, text, QMessageBox::Ok, &window);
            box.exec();
        });
    }
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("vaporia"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VAPORIA_VERSION));
    {
        // --help and --version before QApplication, which would need a display to start.
        QStringList args;
        for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
        const startfile::CommandLine c = startfile::ParseCommandLine(args, true);
        if (c.action != startfile::CommandLine::Action::Run) {
            std::fputs(c.output.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    // Qt takes its options out of the arguments it is given: a second start gets them whole.
    std::vector<QByteArray> original(argv, argv + argc);
    for (const bool mayRescale : {true, false}) {
        std::vector<QByteArray> copies = original;
        std::vector<char*> args;
        for (QByteArray& a : copies) args.push_back(a.data());
        args.push_back(nullptr);
        int count = argc;
        const int result = Run(count, args.data(), mayRescale);
        if (result != kStartAgain) return result;
    }
    return 1;
}
