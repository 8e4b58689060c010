#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>

#include "core/settings/SettingsLimits.h"
#include "desktop/settings/mdlSystem.h"

using namespace std::string_literals;
using mdlSystem::SettingsLocation;

namespace {

SystemSettings Defaults()
{
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    return s;
}

std::string Padded(const std::string& value)
{
    return value + std::string(50 - value.size(), ' ');
}

// A settings folder of its own for each test; no fallback folder unless a test adds one.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    SettingsLocation Where() const { return {dir_.path(), QString()}; }
    QString File() const { return dir_.filePath("CONFIG.INI"); }

    static void Write(const QString& path, const std::string& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(text.data(), static_cast<qint64>(text.size())),
                  static_cast<qint64>(text.size()));
    }
    static std::string Read(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }

    SystemSettings LoadFrom(const std::string& text)
    {
        Write(File(), text);
        SystemSettings s;
        mdlSystem::LoadSystemSettings(s, Where());
        return s;
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndStaysMissing)
{
    SystemSettings s;
    mdlSystem::LoadSystemSettings(s, Where());
    EXPECT_EQ(s.container, 30);
    EXPECT_EQ(s.mol, 1);
    EXPECT_EQ(s.temperatureUnit, 0);
    EXPECT_EQ(s.pressureUnit, 0);
    EXPECT_EQ(s.grphWMin, -50);
    EXPECT_EQ(s.grphWMax, 150);
    EXPECT_EQ(s.grphHMin, 0);
    EXPECT_EQ(s.grphHMax, 800);
    EXPECT_EQ(s, Defaults());
    EXPECT_FALSE(QFileInfo::exists(File()));
}

TEST(SettingsText, LoadsValuesAndRounding)
{
    const std::string big = "1"s + std::string(48, '0') + "abcdefghijk"; // 60 characters
    using mdlSystem::kFaultMol, mdlSystem::kFaultContainer, mdlSystem::kFaultTempRange, mdlSystem::kFaultPressRange;
    const struct {
        std::string text;
        SystemSettings expected;
        unsigned replaced = 0; // what the model cannot show gives way to the default, told
    } cases[] = {
        {"[DATA]\r\nmol=5\r\n", {30, 5, 0, 0, -50, 150, 0, 800}},
        {"[data]\r\nCONTAINER=12\r\nPressureUnit=2\r\n", {12, 1, 0, 2, -50, 150, 0, 800}},
        {"[DATA]\r\nmol=2.5\r\ngrphWMin=-2.5\r\ngrphWMax=3.5\r\n", {30, 1, 0, 0, -2, 4, 0, 800}, kFaultMol},
        {"[DATA]\r\ncontainer=  12.5  \r\n", {12.5, 1, 0, 0, -50, 150, 0, 800}},
        {"[DATA]\r\ncontainer=" + big + "\r\n", {1e48, 1, 0, 0, -50, 150, 0, 800}},
        {"[DATA]\nmol=5\0"s "7\n"s, {30, 5, 0, 0, -50, 150, 0, 800}},
        {"[DATA]\r\ncontainer=22.4\r\nmol=3\r\ntemperatureUnit=1\r\npressureUnit=1\r\n"
         "grphWMin=200\r\ngrphWMax=400\r\ngrphHMin=-0.5\r\ngrphHMax=1.5e3\r\n",
         {22.4, 3, 1, 1, 200, 400, -0.5, 1500}},
        {"[DATA]\r\nmol=0\r\ncontainer=-30\r\n", {30, 1, 0, 0, -50, 150, 0, 800}, kFaultMol | kFaultContainer},
        {"[DATA]\r\ngrphWMin=150\r\ngrphHMin=900\r\n", {30, 1, 0, 0, -50, 150, 0, 800},
         kFaultTempRange | kFaultPressRange},
        {"[DATA]\r\ngrphWMin=10\r\ngrphWMax=10\r\n", {30, 1, 0, 0, -50, 150, 0, 800}, kFaultTempRange},
    };
    for (const auto& c : cases) {
        SystemSettings s;
        EXPECT_EQ(mdlSystem::LoadSystemSettingsFromText(s, c.text), c.replaced) << c.text;
        EXPECT_EQ(s, c.expected) << c.text;
    }
}

TEST(SettingsText, UnusableValuesLoadAsTheKeysDefault)
{
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"container", ""},         {"container", "abc"},      {"container", "1e999"},
        {"container", "-1e999"},   {"container", "nan"},      {"container", "inf"},
        {"container", "0x10"},     {"container", "12abc"},    {"container", "1,5"},
        {"mol", ""},               {"mol", "3000000000"},     {"mol", "-2147483649"},
        {"mol", "2147483647.5"},   {"mol", "1e999"},          {"temperatureUnit", "2"},
        {"temperatureUnit", "-1"}, {"pressureUnit", "3"},     {"pressureUnit", "-1"},
        {"grphWMin", "x"},         {"grphWMax", "9e9"},       {"grphHMin", "."},
        {"grphHMax", "1e"},        {"grphHMax", "--1"},
    };
    for (const auto& c : cases) {
        SystemSettings s;
        mdlSystem::LoadSystemSettingsFromText(
            s, "[DATA]\r\n"s + c.key + "=" + c.value + "\r\n");
        EXPECT_EQ(s, Defaults()) << c.key << '=' << c.value;
    }
    // The edges of the ranges are still values.
    SystemSettings s;
    mdlSystem::LoadSystemSettingsFromText(
        s, "[DATA]\nmol=2147483647\ngrphWMax=2147483647\ntemperatureUnit=1\npressureUnit=2\n");
    EXPECT_EQ(s.mol, INT32_MAX);
    EXPECT_EQ(s.grphWMax, INT32_MAX);
    EXPECT_EQ(s.temperatureUnit, 1);
    EXPECT_EQ(s.pressureUnit, 2);
}

TEST_F(SettingsFile, LoadReadsTheFile)
{
    const SystemSettings s = LoadFrom("[DATA]\r\nmol=5\r\ncontainer=  12.5  \r\n");
    EXPECT_EQ(s.mol, 5);
    EXPECT_EQ(s.container, 12.5);
    EXPECT_EQ(s.grphHMax, 800);
}

TEST_F(SettingsFile, HugeFileIsReadOnlyUpToItsCap)
{
    std::string text = "[DATA]\r\nmol=5\r\n";
    while (text.size() < mdlSystem::kMaxFileBytes - 200) text += "; filler line\r\n";
    const std::size_t pad = mdlSystem::kMaxFileBytes - 12 - text.size() - 3;
    text.append(";").append(pad, 'x').append("\r\n");
    ASSERT_EQ(text.size(), mdlSystem::kMaxFileBytes - 12);
    // This line straddles the cap: its first 12 bytes must not be taken as a value.
    text += "container=123456789012345678901234567890\r\ngrphWMax=7\r\n";
    const SystemSettings s = LoadFrom(text);
    EXPECT_EQ(s.mol, 5);
    EXPECT_EQ(s.container, 30);
    EXPECT_EQ(s.grphWMax, 150);
}

TEST_F(SettingsFile, SomethingElseNamedConfigIniGivesDefaults)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("CONFIG.INI"));
    SystemSettings s;
    mdlSystem::LoadSystemSettings(s, Where());
    EXPECT_EQ(s, Defaults());
}

TEST(SettingsText, NewFileHoldsTheEightKeysInOrder)
{
    const std::string expected = "[DATA]\r\n"
                                 "container=" + Padded("30") + "\r\n"
                                 "mol=" + Padded("1") + "\r\n"
                                 "temperatureUnit=" + Padded("0") + "\r\n"
                                 "pressureUnit=" + Padded("0") + "\r\n"
                                 "grphWMin=" + Padded("-50") + "\r\n"
                                 "grphWMax=" + Padded("150") + "\r\n"
                                 "grphHMin=" + Padded("0") + "\r\n"
                                 "grphHMax=" + Padded("800") + "\r\n";
    EXPECT_EQ(mdlSystem::SaveSystemSettingsToText(Defaults(), ""), expected);
}

TEST_F(SettingsFile, SaveCreatesTheFileAndLoadReadsItBack)
{
    SystemSettings s{22.4, 3, 1, 2, 250, 400, -0.25, 1.5e-7};
    QString error = "untouched";
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(s, Where(), &error));
    EXPECT_EQ(error, "untouched");

    const std::string text = Read(File());
    EXPECT_NE(text.find("\r\ncontainer=22.4" + std::string(46, ' ') + "\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\ngrphHMax=" + Padded("1.5e-07") + "\r\n"), std::string::npos)
        << text;

    SystemSettings back;
    mdlSystem::LoadSystemSettings(back, Where());
    EXPECT_EQ(back, s);
}

TEST_F(SettingsFile, SaveKeepsEveryOtherLineByteForByte)
{
    Write(File(), "; school preset\n"
                  "[Window]\n"
                  "left = 10\n"
                  "\n"
                  "[data]\n"
                  "MOL = 7\n"
                  "note=keep me\n"
                  "container=1\n"
                  "\n"
                  "; end of data\n"
                  "[Other]\n"
                  "mol=99\n"
                  "tail without line end");
    SystemSettings s = Defaults();
    s.mol = 5;
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(s, Where()));
    EXPECT_EQ(Read(File()), "; school preset\n"
                            "[Window]\n"
                            "left = 10\n"
                            "\n"
                            "[data]\n"
                            "MOL =" + Padded("5") + "\n"
                            "note=keep me\n"
                            "container=" + Padded("30") + "\n"
                            "temperatureUnit=" + Padded("0") + "\n"
                            "pressureUnit=" + Padded("0") + "\n"
                            "grphWMin=" + Padded("-50") + "\n"
                            "grphWMax=" + Padded("150") + "\n"
                            "grphHMin=" + Padded("0") + "\n"
                            "grphHMax=" + Padded("800") + "\n"
                            "\n"
                            "; end of data\n"
                            "[Other]\n"
                            "mol=99\n"
                            "tail without line end");
}

TEST_F(SettingsFile, SaveThatCannotWriteReportsAndKeepsTheOldFile)
{
    // A regular file where a folder should be: no one, not even root, can write below it.
    Write(dir_.filePath("blocker"), "x");
    const SettingsLocation blocked{dir_.filePath("blocker/sub"), QString()};
    QString error;
    EXPECT_FALSE(mdlSystem::SaveSystemSettings(Defaults(), blocked, &error));
    EXPECT_FALSE(error.isEmpty());

    // A folder named CONFIG.INI.
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkdir("CONFIG.INI"));
    error.clear();
    EXPECT_FALSE(mdlSystem::SaveSystemSettings(Defaults(), {other.path(), QString()}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(other.filePath("CONFIG.INI")).isDir());

    // A file too large to take in whole is left as it is rather than cut short.
    const std::string huge = "[DATA]\r\nmol=5\r\n" + std::string(mdlSystem::kMaxFileBytes, ';');
    Write(File(), huge);
    error.clear();
    EXPECT_FALSE(mdlSystem::SaveSystemSettings(Defaults(), Where(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(File()), huge);
}

TEST_F(SettingsFile, SaveLeavesNoTemporaryFilesBehind)
{
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(Defaults(), Where()));
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(Defaults(), Where()));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"CONFIG.INI"});
}

TEST(SettingsPath, OneSeparatorBeforeTheFileName)
{
    const struct {
        const char* dir;
        const char* path;
    } cases[] = {
        {"/", "/CONFIG.INI"},
        {"C:\\", "C:\\CONFIG.INI"},
        {"C:\\Vaporia", "C:\\Vaporia\\CONFIG.INI"},
        {"C:/Program Files/Vaporia", "C:/Program Files/Vaporia/CONFIG.INI"},
        {"/opt/vaporia", "/opt/vaporia/CONFIG.INI"},
        {"/opt/vaporia/", "/opt/vaporia/CONFIG.INI"},
        {"", "CONFIG.INI"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mdlSystem::ConfigFilePath(QString::fromUtf8(c.dir)), QString::fromUtf8(c.path))
            << c.dir;
}

TEST(SettingsPath, ChoosesBetweenProgramAndUserFolder)
{
    const struct {
        const char* what;
        mdlSystem::LocationFacts facts; // hasUserDir, dirWritable, fileExists, fileWritable,
                                        // userFileExists
        bool saveBeside;
        bool loadBeside;
    } cases[] = {
        {"no fallback", {false, false, false, false, false}, true, true},
        {"writable folder, no file yet", {true, true, false, false, false}, true, true},
        {"writable file", {true, true, true, true, true}, true, true},
        {"file writable in a read-only folder", {true, false, true, true, false}, true, true},
        {"file writable in a read-only folder, user copy exists", {true, false, true, true, true}, true, true},
        {"read-only file in a writable folder", {true, true, true, false, false}, false, true},
        {"read-only folder, nothing saved", {true, false, false, false, false}, false, false},
        {"read-only preset, nothing saved yet", {true, false, true, false, false}, false, true},
        {"read-only preset, user copy saved", {true, false, true, false, true}, false, false},
        // Load and save agree: the user's copy is not read when the save would not write it.
        {"writable folder without a file, user copy exists", {true, true, false, false, true}, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mdlSystem::SaveBesideProgram(c.facts), c.saveBeside) << c.what;
        EXPECT_EQ(mdlSystem::LoadBesideProgram(c.facts), c.loadBeside) << c.what;
    }
}

TEST_F(SettingsFile, UnwritableProgramFolderFallsBackToTheUserFolder)
{
    QTemporaryDir user;
    const QString userDir = user.filePath("deeper/vaporia"); // made by the first save
    const SettingsLocation beside{dir_.path(), userDir};
    EXPECT_EQ(beside.Path(), File());

    const SettingsLocation missing{dir_.filePath("gone"), userDir};
    EXPECT_EQ(missing.Path(), userDir + "/CONFIG.INI");
    SystemSettings s = Defaults();
    s.mol = 4;
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(s, missing));
    SystemSettings back;
    mdlSystem::LoadSystemSettings(back, missing);
    EXPECT_EQ(back.mol, 4);
}

TEST_F(SettingsFile, ReadOnlyPresetIsReadUntilTheUserSaves)
{
    Write(File(), "[DATA]\r\nmol=9\r\n");
    ASSERT_TRUE(QFile::setPermissions(File(), QFile::ReadOwner | QFile::ReadUser));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner
                                                       | QFile::ReadUser | QFile::ExeUser));
    struct Restore {
        QString dir;
        ~Restore() { QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    } restore{dir_.path()};
    if (QFileInfo(dir_.path()).isWritable()) GTEST_SKIP() << "permissions do not bind this user";

    QTemporaryDir user;
    const SettingsLocation where{dir_.path(), user.path()};
    SystemSettings s;
    mdlSystem::LoadSystemSettings(s, where);
    EXPECT_EQ(s.mol, 9);

    s.mol = 3;
    ASSERT_TRUE(mdlSystem::SaveSystemSettings(s, where));
    EXPECT_EQ(Read(File()), "[DATA]\r\nmol=9\r\n");
    mdlSystem::LoadSystemSettings(s, where);
    EXPECT_EQ(s.mol, 3);
}

} // namespace
