// Drives the settings store the way the installed program does, for the read-only install
// test: the program has no command line of its own to do it with.
//
//   settings_roundtrip load        prints "mol=N" and the file it read
//   settings_roundtrip save N      loads, sets mol to N, saves; prints the file it wrote
//
// Placed beside the installed program, it resolves CONFIG.INI from its own folder exactly as
// the program would.
#include <QCoreApplication>
#include <QTextStream>

#include "core/model/NumText.h"
#include "desktop/settings/mdlSystem.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Named as main() names the program: the name decides the user's configuration folder.
    QCoreApplication::setApplicationName(QStringLiteral("vaporia"));
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const auto where = mdlSystem::SettingsLocation::ForApplication();
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    mdlSystem::LoadSystemSettings(s, where);

    if (args.size() == 2 && args[1] == QLatin1String("load")) {
        out << "mol=" << s.mol << "\nread=" << where.LoadPath() << "\n";
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("save")) {
        const auto mol = numtext::ParseWhole(args[2].toStdString());
        if (!mol) {
            err << "not a whole number: " << args[2] << "\n";
            return 2;
        }
        s.mol = *mol;
        QString error;
        if (!mdlSystem::SaveSystemSettings(s, where, &error)) {
            err << "save failed: " << error << "\n";
            return 1;
        }
        out << "wrote=" << where.Path() << "\n";
        return 0;
    }
    err << "usage: settings_roundtrip load | save N\n";
    return 2;
}
