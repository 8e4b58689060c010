#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "desktop/about/frmAbout.h"

using namespace about;

namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

class FakeRegistry : public Registry {
public:
    std::map<std::pair<QString, QString>, RegistryValue> values;
    mutable std::vector<QString> queried; // "key|value", in order

    std::optional<RegistryValue> QueryValue(RegistryRoot root, const QString& keyName,
                                            const QString& valueName) const override
    {
        queried.push_back(keyName + '|' + valueName);
        if (root != RegistryRoot::LocalMachine) return std::nullopt;
        const auto it = values.find({keyName, valueName});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

RegistryValue String(const QByteArray& text)
{
    return {kRegString, text + '\0'};
}

// A registry, a file system of a few names, a launcher that starts only files that exist,
// and a message box that remembers what it showed.
struct Platform {
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    std::set<QString> files;
    std::vector<QString> existenceTests;
    std::vector<QString> started;
    std::vector<QString> launchAttempts;
    std::vector<std::pair<QString, QString>> messages; // title, text
    QWidget* messageParent = nullptr;

    AboutServices Services()
    {
        AboutServices s;
        s.registry = registry;
        s.fileExists = [this](const QString& p) {
            existenceTests.push_back(p);
            return files.count(p) > 0;
        };
        s.startProgram = [this](const QString& p) {
            launchAttempts.push_back(p);
            if (!files.count(p)) return false;
            started.push_back(p);
            return true;
        };
        s.showMessage = [this](QWidget* parent, const QString& title, const QString& text) {
            messageParent = parent;
            messages.emplace_back(title, text);
        };
        return s;
    }
};

template <typename T>
T* Child(QWidget& w, const char* name)
{
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(frmAbout, DescriptionNamesBothSourcesOfValuesAndFitsItsLabel)
{
    Platform platform;
    frmAbout dlg(nullptr, platform.Services());
    auto* label = Child<QLabel>(dlg, "lblDescription");
    const QString sources = label->text().section('\n', -1);
    const QStringList sentences = sources.split(QStringLiteral("。"), Qt::SkipEmptyParts);
    ASSERT_EQ(sentences.size(), 2) << sources.toStdString();
    EXPECT_TRUE(sentences[0].startsWith(QStringLiteral("標準の値は"))) << sources.toStdString();
    EXPECT_TRUE(sentences[0].contains(QStringLiteral("クラウジウス・クラペイロン")));
    EXPECT_TRUE(sentences[1].startsWith(QStringLiteral("文献値"))) << sources.toStdString();
    EXPECT_TRUE(sentences[1].contains(QStringLiteral("IAPWS")));
    EXPECT_TRUE(sentences[1].contains(QStringLiteral("アントワン")));
    // Wrapped to the label's width, the whole text must show above the separator.
    EXPECT_LE(label->heightForWidth(label->width()), label->height());
}

TEST(frmAbout, ShowsTitleVersionAndTextsAfterLoading)
{
    Platform platform;
    frmAbout dlg(nullptr, platform.Services());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Vaporiaのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(Child<QLabel>(dlg, "lblTitle")->text(), QStringLiteral("Vaporia"));
    EXPECT_EQ(Child<QLabel>(dlg, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.0"));
    // Real texts in place of the template's.
    EXPECT_TRUE(Child<QLabel>(dlg, "lblDescription")->text().contains(QStringLiteral("蒸気圧曲線")));
    EXPECT_TRUE(Child<QLabel>(dlg, "lblDisclaimer")->text().contains(QStringLiteral("無保証")));
    auto* ok = Child<QPushButton>(dlg, "cmdOK");
    auto* sysInfo = Child<QPushButton>(dlg, "cmdSysInfo");
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(sysInfo->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    EXPECT_EQ(ok->nextInFocusChain(), sysInfo);
    EXPECT_EQ(dlg.size(), QSize(382, 237));
    EXPECT_EQ(ok->geometry(), QRect(283, 175, 92, 23));
    EXPECT_EQ(sysInfo->geometry(), QRect(284, 205, 92, 23));
    // The title keeps its place; a font with a taller line gets the height it needs around it.
    const QRect title = Child<QLabel>(dlg, "lblTitle")->geometry();
    EXPECT_EQ(QRect(title.left(), 0, title.width(), 0), QRect(70, 0, 259, 0));
    EXPECT_NEAR(title.center().y(), 16 + 16, 1);
    EXPECT_GE(title.height(), 32);
    EXPECT_EQ(Child<QLabel>(dlg, "lblDisclaimer")->geometry(), QRect(17, 175, 258, 55));
}

TEST(frmAbout, DrawsAnEtchedSeparator)
{
    Platform platform;
    frmAbout dlg(nullptr, platform.Services());
    const QImage image = dlg.grab().toImage();
    for (int x : {10, 190, 370}) {
        EXPECT_EQ(image.pixel(x, 163), qRgb(128, 128, 128)) << x;
        EXPECT_EQ(image.pixel(x, 164), qRgb(255, 255, 255)) << x;
        EXPECT_EQ(image.pixel(x, 165), qRgb(255, 255, 255)) << x;
    }
}

struct LookupCase {
    const char* name;
    std::optional<RegistryValue> first;  // the tool's path
    std::optional<RegistryValue> second; // the directory holding MSINFO32.EXE
    std::set<QString> files;
    QString expectStarted;               // empty: the message is shown instead
    int expectQueries;
    std::vector<QString> expectExistenceTests;
};

TEST(frmAbout, StartSysInfoTriesTheToolPathThenTheToolDirectory)
{
    const QString tool = QStringLiteral("C:\\Tools\\info.exe");
    const QString dir = QStringLiteral("C:\\Shared");
    const QString inDir = QStringLiteral("C:\\Shared\\MSINFO32.EXE");
    const LookupCase cases[] = {
        {"first names a program", String("C:\\Tools\\info.exe"), String("C:\\Shared"), {tool, inDir}, tool, 1, {}},
        {"first names a missing file", String("C:\\Tools\\info.exe"), String("C:\\Shared"), {inDir}, "", 1, {}},
        {"second with the program", std::nullopt, String("C:\\Shared"), {inDir}, inDir, 2, {inDir}},
        {"second without the program", std::nullopt, String("C:\\Shared"), {dir}, "", 2, {inDir}},
        {"neither", std::nullopt, std::nullopt, {tool, inDir}, "", 2, {}},
        {"first without data", RegistryValue{kRegString, {}}, String("C:\\Shared"), {inDir}, "", 1, {}},
        {"first beyond the read buffer", String(QByteArray(1024, 'x')), String("C:\\Shared"), {inDir}, inDir, 2, {inDir}},
        {"first fits the read buffer", String(QByteArray(1023, 'x')), std::nullopt, {QString(1023, 'x')},
         QString(1023, 'x'), 1, {}},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Platform platform;
        if (c.first) platform.registry->values[{kToolKey, QStringLiteral("PATH")}] = *c.first;
        if (c.second) platform.registry->values[{kLocationKey, QStringLiteral("MSINFO")}] = *c.second;
        platform.files = c.files;
        frmAbout dlg(nullptr, platform.Services());

        dlg.StartSysInfo();

        ASSERT_EQ(int(platform.registry->queried.size()), c.expectQueries);
        EXPECT_EQ(platform.registry->queried[0], kToolKey + QStringLiteral("|PATH"));
        if (c.expectQueries == 2) {
            EXPECT_EQ(platform.registry->queried[1], kLocationKey + QStringLiteral("|MSINFO"));
        }
        EXPECT_EQ(platform.existenceTests, c.expectExistenceTests);
        if (c.expectStarted.isEmpty()) {
            EXPECT_TRUE(platform.started.empty());
            ASSERT_EQ(platform.messages.size(), 1u);
            EXPECT_EQ(platform.messages[0].first, QStringLiteral("Vaporia"));
            EXPECT_EQ(platform.messages[0].second, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
            EXPECT_EQ(platform.messageParent, &dlg);
        } else {
            EXPECT_EQ(platform.started, std::vector<QString>{c.expectStarted});
            EXPECT_TRUE(platform.messages.empty());
        }
    }
}

TEST(frmAbout, FailureOfTheLauncherItselfEndsInTheMessageAndTheBoxStaysOpen)
{
    Platform platform;
    platform.registry->values[{kToolKey, QStringLiteral("PATH")}] = String("/usr/bin/tool");
    AboutServices services = platform.Services();
    services.startProgram = [](const QString&) -> bool { throw std::runtime_error("cannot start"); };
    frmAbout dlg(nullptr, services);
    dlg.show();

    QTest::mouseClick(Child<QPushButton>(dlg, "cmdSysInfo"), Qt::LeftButton);

    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(dlg.isVisible());
}

TEST(frmAbout, GetKeyValueTurnsTheStoredDataIntoText)
{
    struct Case {
        const char* name;
        std::optional<RegistryValue> stored;
        bool expectRead;
        QString expectText; // from a caller's "before"
    };
    const Case cases[] = {
        {"string with its NUL", String("C:\\x.exe"), true, "C:\\x.exe"},
        {"string without a NUL", RegistryValue{kRegString, "abc"}, true, "abc"},
        {"NUL only", RegistryValue{kRegString, QByteArray(1, '\0')}, true, ""},
        {"number", RegistryValue{kRegDword, QByteArray("\x2a\x01\x00\x00", 4)}, true, "298"},
        {"negative number", RegistryValue{kRegDword, QByteArray("\xff\xff\xff\xff", 4)}, true, "-1"},
        {"other type", RegistryValue{3, "zz"}, true, "before"},
        {"no data", RegistryValue{kRegString, {}}, false, ""},
        {"absent", std::nullopt, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Platform platform;
        if (c.stored) platform.registry->values[{QStringLiteral("K"), QStringLiteral("V")}] = *c.stored;
        frmAbout dlg(nullptr, platform.Services());
        QString value = QStringLiteral("before");
        EXPECT_EQ(dlg.GetKeyValue(RegistryRoot::LocalMachine, "K", "V", value), c.expectRead);
        EXPECT_EQ(value, c.expectText);
    }
}

TEST(frmAbout, EnterAndEscCloseTheBox)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        Platform platform;
        frmAbout dlg(nullptr, platform.Services());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        QWidget* target = dlg.focusWidget() ? dlg.focusWidget() : &dlg;
        EXPECT_EQ(target, Child<QPushButton>(dlg, "cmdOK"));
        QTest::keyClick(target, key);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST(SysInfoToolRegistry, AnswersTheToolPathWithTheFirstInstalledTool)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    for (const char* name : {"second-tool", "third-tool"}) {
        QFile f(bin.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const SysInfoToolRegistry registry({"missing-tool", "second-tool", "third-tool"}, {bin.path()});

    const auto value = registry.QueryValue(RegistryRoot::LocalMachine, "software\\microsoft\\shared tools\\msinfo", "Path");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, kRegString);
    EXPECT_EQ(value->data, (bin.filePath("second-tool").toLocal8Bit() + '\0'));

    EXPECT_FALSE(registry.QueryValue(RegistryRoot::LocalMachine, kLocationKey, "MSINFO").has_value());
    EXPECT_FALSE(registry.QueryValue(RegistryRoot::LocalMachine, kToolKey, "Other").has_value());
    const SysInfoToolRegistry none({"missing-tool"}, {bin.path()});
    EXPECT_FALSE(none.QueryValue(RegistryRoot::LocalMachine, kToolKey, "PATH").has_value());
}

TEST(SysInfoToolRegistry, SearchesOnlyAbsolutePathEntries)
{
    EXPECT_EQ(about::AbsoluteSearchPaths(".::bin:/usr/bin:./x:/opt/a b:"),
              (QStringList{"/usr/bin", "/opt/a b"}));

    // A file of the tool's name in the current folder is not found through "." or "".
    QTemporaryDir here;
    ASSERT_TRUE(here.isValid());
    QFile f(here.filePath("info-tool"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString oldDir = QDir::currentPath();
    const QByteArray oldPath = qgetenv("PATH");
    ASSERT_TRUE(QDir::setCurrent(here.path()));
    for (const char* path : {".:", ":", "bin:."}) {
        qputenv("PATH", path);
        const SysInfoToolRegistry registry({"info-tool"});
        EXPECT_FALSE(registry.QueryValue(RegistryRoot::LocalMachine, kToolKey, "PATH").has_value()) << path;
    }
    qputenv("PATH", oldPath);
    QDir::setCurrent(oldDir);
}

TEST(SysInfoToolRegistry, ThroughTheBoxStartsTheFoundToolWithoutTestingIt)
{
    // The tool found on the path goes straight to the launcher.
    Platform platform;
    AboutServices services = platform.Services();
    QTemporaryDir bin;
    QFile f(bin.filePath("info-tool"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    services.registry = std::make_shared<SysInfoToolRegistry>(QStringList{"info-tool"}, QStringList{bin.path()});
    platform.files = {bin.filePath("info-tool")};
    frmAbout dlg(nullptr, services);
    dlg.StartSysInfo();
    EXPECT_EQ(platform.started, std::vector<QString>{bin.filePath("info-tool")});
    EXPECT_TRUE(platform.existenceTests.empty());
}

TEST(DefaultAboutServices, DoNotStartWhatIsNotThere)
{
    const AboutServices s = DefaultAboutServices();
    EXPECT_FALSE(s.startProgram(QString()));
    EXPECT_FALSE(s.startProgram(QStringLiteral("/nonexistent/vaporia-no-such-tool")));
    EXPECT_FALSE(s.fileExists(QStringLiteral("/nonexistent/vaporia-no-such-tool")));
    QTemporaryDir dir;
    EXPECT_FALSE(s.fileExists(dir.path())); // a directory is no program
}

} // namespace
