// `vaporia [FILE.so1]`, --help and --version, and the scenario named at start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <sys/stat.h>

#include "desktop/main/StartFile.h"

using startfile::CommandLine;

TEST(StartFile, CommandLineAnswersHelpAndVersionAndTakesOneFile)
{
    QCoreApplication::setApplicationName(QStringLiteral("vaporia"));
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    struct Case {
        QStringList args;
        bool qtOptions;
        CommandLine::Action action;
        QString file;
    };
    using A = CommandLine::Action;
    const QString exe = QStringLiteral("/usr/bin/vaporia");
    const Case cases[] = {
        {{exe}, false, A::Run, {}},
        {{exe, QStringLiteral("授業 1.so1")}, false, A::Run, QStringLiteral("授業 1.so1")},
        {{exe, QStringLiteral("--help")}, true, A::Help, {}},
        {{exe, QStringLiteral("-h")}, true, A::Help, {}},
        {{exe, QStringLiteral("--help-all")}, true, A::Help, {}},
        {{exe, QStringLiteral("--version")}, true, A::Version, {}},
        {{exe, QStringLiteral("-v")}, true, A::Version, {}},
        // Qt's own options before QApplication has taken them: neither help nor an error
        // ("-reverse" is not -r -e -v).
        {{exe, QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse")}, true, A::Run, QStringLiteral("offscreen")},
        {{exe, QStringLiteral("--bogus")}, false, A::Error, {}},
        {{exe, QStringLiteral("a.so1"), QStringLiteral("b.so1")}, false, A::Error, {}},
        {{exe, QStringLiteral("--"), QStringLiteral("-odd name.so1")}, false, A::Run, QStringLiteral("-odd name.so1")},
    };
    for (const Case& c : cases) {
        const CommandLine got = startfile::ParseCommandLine(c.args, c.qtOptions);
        EXPECT_EQ(got.action, c.action) << c.args.join(' ').toStdString();
        if (c.action == A::Run) EXPECT_EQ(got.file, c.file) << c.args.join(' ').toStdString();
    }
    const CommandLine help = startfile::ParseCommandLine({exe, QStringLiteral("--help")}, true);
    EXPECT_TRUE(help.output.startsWith(QStringLiteral("Usage: vaporia "))) << help.output.toStdString();
    EXPECT_TRUE(help.output.contains(QStringLiteral("--version")));
    EXPECT_TRUE(help.output.contains(QStringLiteral("FILE.so1")));
    EXPECT_EQ(startfile::ParseCommandLine({exe, QStringLiteral("--version")}, true).output,
              QStringLiteral("vaporia 9.8.7\n"));
    EXPECT_FALSE(startfile::ParseCommandLine({exe, QStringLiteral("--bogus")}, false).output.isEmpty());
}

TEST(StartFile, ScenarioOpensOrTheTeacherIsToldWhyAndGetsTheEmptyOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    mdlSinario::SinarioData lesson;
    mdlSinario::SetTitle(lesson, QStringLiteral("水の蒸気圧"));
    lesson.stepCount = 2;
    const QString good = dir.filePath(QStringLiteral("授業.so1"));
    ASSERT_TRUE(mdlSinario::WriteSinarioFile(lesson, good));

    mdlSinario::SinarioData asStored;
    ASSERT_TRUE(mdlSinario::ReadSinarioFile(asStored, good));
    mdlSinario::SinarioData d;
    EXPECT_EQ(startfile::LoadStartScenario(d, good), std::nullopt);
    EXPECT_EQ(d, asStored);
    EXPECT_TRUE(mdlSinario::TitleText(d).startsWith(QStringLiteral("水の蒸気圧")));
    EXPECT_EQ(d.stepCount, 2);

    const QString shortFile = dir.filePath(QStringLiteral("short.so1"));
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, '\xFF'));
    f.close();
    const QString fifo = dir.filePath(QStringLiteral("fifo.so1"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.so1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString png = dir.filePath(QStringLiteral("picture.so1"));
    QFile p(png);
    ASSERT_TRUE(p.open(QIODevice::WriteOnly));
    p.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3000, '\x7F'));
    p.close();

    struct Bad { QString path; QString reason; };
    const Bad bad[] = {
        {dir.filePath(QStringLiteral("missing.so1")), QStringLiteral("見つかりません")},
        {shortFile, QStringLiteral("壊れています")},
        {fifo, QStringLiteral("シナリオファイルではありません")}, // never read: it could block
        {folder, QStringLiteral("シナリオファイルではありません")},
        {png, QStringLiteral("ステップ数が")},
        {QString(), QStringLiteral("見つかりません")},
    };
    for (const Bad& b : bad) {
        d = asStored;
        const auto message = startfile::LoadStartScenario(d, b.path);
        ASSERT_TRUE(message.has_value()) << b.path.toStdString();
        EXPECT_TRUE(message->contains(b.reason)) << message->toStdString();
        if (!b.path.isEmpty()) EXPECT_TRUE(message->contains(b.path)) << message->toStdString();
        EXPECT_TRUE(message->contains(QStringLiteral("空のシナリオ"))) << message->toStdString();
        EXPECT_EQ(d, mdlSinario::SinarioData{}) << b.path.toStdString();
    }
}
