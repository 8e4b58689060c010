#include "desktop/main/StartFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "desktop/platform/ReadFile.h"

namespace startfile {

CommandLine ParseCommandLine(const QStringList& args, bool qtOptionsAllowed)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("蒸気圧曲線 — classroom simulation of vapour pressure (Japanese interface)"));
    // "-platform" is one option, not -p -l -a ...; "-v" stays the version.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.so1"),
                                 QStringLiteral("シナリオファイルを開いて始める (scenario file to open)"),
                                 QStringLiteral("[FILE.so1]"));

    CommandLine c;
    const bool parsed = parser.parse(args);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        c.action = CommandLine::Action::Help;
        // Qt names the program from the application object, which does not exist yet.
        c.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                             args.isEmpty() ? QStringLiteral("vaporia")
                                                            : QFileInfo(args.front()).fileName());
        return c;
    }
    if (parser.isSet(version)) {
        c.action = CommandLine::Action::Version;
        c.output = QCoreApplication::applicationName() + QLatin1Char(' ')
                   + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return c;
    }
    const QStringList files = parser.positionalArguments();
    if (!qtOptionsAllowed && !parsed) {
        c.action = CommandLine::Action::Error;
        c.output = parser.errorText() + QLatin1Char('\n');
        return c;
    }
    if (!qtOptionsAllowed && files.size() > 1) {
        c.action = CommandLine::Action::Error;
        c.output = QStringLiteral("開けるシナリオファイルは一つだけです (one scenario file only)\n");
        return c;
    }
    if (!files.isEmpty()) c.file = files.front();
    return c;
}

std::optional<QString> LoadStartScenario(mdlSinario::SinarioData& d, const QString& path)
{
    mdlSinario::SinarioData loaded;
    if (mdlSinario::ReadSinarioFile(loaded, path)) {
        d = loaded;
        return std::nullopt;
    }
    d = mdlSinario::SinarioData{};
    const QFileInfo info(path);
    QString reason;
    if (path.isEmpty() || !info.exists())
        reason = QStringLiteral("ファイルが見つかりません。");
    else if (!info.isFile())
        reason = QStringLiteral("シナリオファイルではありません（フォルダーや特殊なファイルです）。");
    else if (!info.isReadable())
        reason = QStringLiteral("読み込む権限がありません。");
    else if (info.size() < static_cast<qint64>(mdlSinario::kRecordSize))
        reason = QStringLiteral("ファイルが壊れています（%1 バイトしかなく、シナリオには %2 バイト必要です）。")
                     .arg(info.size())
                     .arg(mdlSinario::kRecordSize);
    else if (QByteArray head; readfile::ReadRegularFile(path, mdlSinario::kRecordSize, head).status == readfile::Status::Read)
        reason = QString::fromStdString(mdlSinario::SinarioRecordFault(
            reinterpret_cast<const unsigned char*>(head.constData()), static_cast<std::size_t>(head.size())));
    if (reason.isEmpty()) reason = QStringLiteral("ファイルを読み込めませんでした。");
    return QStringLiteral("シナリオファイル「%1」を開けませんでした。\n%2\n空のシナリオで始めます。")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace startfile
