#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "desktop/scenario/mdlSinario.h"

using namespace mdlSinario;

namespace {

using Record = std::array<unsigned char, kRecordSize>;

std::vector<unsigned char> Hex(const std::string& text)
{
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == ',') { ++i; continue; }
        out.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

std::vector<unsigned char> Bytes(const Record& r, std::size_t at, std::size_t n)
{
    return {r.begin() + static_cast<std::ptrdiff_t>(at), r.begin() + static_cast<std::ptrdiff_t>(at + n)};
}

std::vector<unsigned char> Slot(const Record& r, std::size_t n) { return Bytes(r, 34 + 46 * n, 46); }

std::vector<unsigned char> Repeat(unsigned char b, std::size_t n) { return std::vector<unsigned char>(n, b); }

std::vector<unsigned char> operator+(std::vector<unsigned char> a, const std::vector<unsigned char>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Record Encoded(const SinarioData& d)
{
    Record r{};
    EncodeSinario(d, r);
    return r;
}

std::u16string Title(const SinarioData& d) { return {d.title.begin(), d.title.end()}; }

std::u16string PadTo30(std::u16string s, char16_t pad)
{
    s.resize(30, pad);
    return s;
}

SinarioStep InitStep()
{
    SinarioStep s;
    s.kind = StepInit;
    s.mol = 1;
    s.container = 30;
    s.grphWMin = -50;
    s.grphWMax = 150;
    s.grphHMin = 0;
    s.grphHMax = 800;
    return s;
}

// A scenario whose every field differs from the defaults, for telling "replaced" from "kept".
SinarioData Busy()
{
    SinarioData d;
    SetTitle(d, QStringLiteral("kept"));
    d.stepCount = 7;
    for (std::size_t n = 0; n < d.steps.size(); ++n) {
        d.steps[n].kind = StepGrphCls;
        d.steps[n].value = static_cast<std::int32_t>(n) * 3;
        d.steps[n].container = 0.25 * static_cast<double>(n);
    }
    return d;
}

TEST(SinarioRecord, StartsUnsetAndEncodesToZeros)
{
    const SinarioData d;
    EXPECT_EQ(Title(d), std::u16string(30, u'\0'));
    EXPECT_EQ(TitleText(d), QString());
    EXPECT_EQ(d.stepCount, 0);
    for (const SinarioStep& s : d.steps) EXPECT_EQ(s, SinarioStep{});
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, kRecordSize), Repeat(0, kRecordSize));
}

TEST(SinarioRecord, EmptyTitleIsThirtyBlanksThenZeros)
{
    SinarioData d;
    SetTitle(d, QString());
    EXPECT_EQ(Title(d), std::u16string(30, u' '));
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, 30), Repeat(0x20, 30));
    EXPECT_EQ(Bytes(r, 30, kRecordSize - 30), Repeat(0, kRecordSize - 30));
}

TEST(SinarioRecord, SetTitlePadsCutsAndKeepsPairsWhole)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("abc"));
    EXPECT_EQ(Title(d), PadTo30(u"abc", u' '));
    EXPECT_EQ(TitleText(d), QStringLiteral("abc") + QString(27, u' '));

    SetTitle(d, QString(40, u'x'));
    EXPECT_EQ(Title(d), std::u16string(30, u'x'));

    // 29 units and an emoji: the pair does not fit, so the last unit is a blank.
    SetTitle(d, QString(29, u'x') + QStringLiteral("😀"));
    EXPECT_EQ(Title(d), std::u16string(29, u'x') + u" ");
}

TEST(SinarioRecord, StepSlotsAreLittleEndianAtTheirOffsets)
{
    SinarioData d;
    d.stepCount = 2;
    d.steps[1].kind = StepTemp;
    d.steps[1].value = 80;
    d.steps[1].addTemp = 1;
    d.steps[2] = InitStep();
    const Record r = Encoded(d);

    EXPECT_EQ(Bytes(r, 30, 4), Hex("02 00 00 00"));
    EXPECT_EQ(Slot(r, 0), Repeat(0, 46));
    EXPECT_EQ(Slot(r, 1), Hex("01 00, 50 00 00 00, 01 00 00 00") + Repeat(0, 36));
    EXPECT_EQ(Slot(r, 2), Hex("00 00, 00 00 00 00, 00 00 00 00, 01 00 00 00, 00 00 00 00 00 00 3E 40,"
                              "00 00 00 00, 00 00 00 00, CE FF FF FF, 96 00 00 00, 00 00 00 00,"
                              "20 03 00 00"));
    EXPECT_EQ(Slot(r, 50), Repeat(0, 46));
}

TEST(SinarioRecord, NegativeAndExtremeFieldsRoundTrip)
{
    SinarioData d;
    d.stepCount = 0; // a slot past the count is read back as it stands, whatever it holds
    SinarioStep& s = d.steps[1];
    s.kind = -2;
    s.value = std::numeric_limits<std::int32_t>::min();
    s.addTemp = -1;
    s.mol = std::numeric_limits<std::int32_t>::max();
    s.container = -0.1;
    s.temperatureUnit = 7;
    s.grphHMax = -800;
    const Record r = Encoded(d);
    EXPECT_EQ(Slot(r, 1), Hex("FE FF, 00 00 00 80, FF FF FF FF, FF FF FF 7F, 9A 99 99 99 99 99 B9 BF,"
                              "07 00 00 00") + Repeat(0, 16) + Hex("E0 FC FF FF"));
    SinarioData back;
    ASSERT_TRUE(DecodeSinario(r.data(), r.size(), back));
    EXPECT_EQ(back.steps[1], s);
}

TEST(SinarioTitle, FullWidthTitleIsItsBytesThenBlanks)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("蒸気圧曲線"));
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, 30), Hex("8F F6 8B 43 88 B3 8B C8 90 FC") + Repeat(0x20, 20));
}

TEST(SinarioTitle, WindowsCharactersRoundTrip)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("～①ｱ亜ⅰ髙"));
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, 30), Hex("81 60 87 40 B1 88 9F FA 40 FB FC") + Repeat(0x20, 19));

    SinarioData back;
    ASSERT_TRUE(DecodeSinario(r.data(), r.size(), back));
    // Eleven bytes of characters and nineteen of blanks: 25 units, the rest unset.
    EXPECT_EQ(Title(back), PadTo30(u"～①ｱ亜ⅰ髙" + std::u16string(19, u' '), u'\0'));
    EXPECT_EQ(TitleText(back).trimmed(), QStringLiteral("～①ｱ亜ⅰ髙"));
}

TEST(SinarioTitle, CharacterCutAtByteThirtyBecomesABlank)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("a") + QString(15, u'亜')); // 31 bytes
    const Record r = Encoded(d);
    std::vector<unsigned char> expected = Hex("61");
    for (int i = 0; i < 14; ++i) expected = expected + Hex("88 9F");
    EXPECT_EQ(Bytes(r, 0, 30), expected + Hex("20"));
    EXPECT_EQ(Bytes(r, 30, 4), Repeat(0, 4));

    // Exactly thirty bytes keep their last character.
    SetTitle(d, QString(15, u'亜'));
    const Record full = Encoded(d);
    EXPECT_EQ(full[28], 0x88);
    EXPECT_EQ(full[29], 0x9F);
}

TEST(SinarioTitle, UnencodableCharactersAreQuestionMarks)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("a😀€") + QChar(0xD800) + QStringLiteral("b"));
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, 30), Hex("61 3F 3F 3F 62") + Repeat(0x20, 25));
}

TEST(SinarioTitle, DecodesBadBytesAndZerosInPlace)
{
    Record r{};
    const std::vector<unsigned char> title =
        Hex("41 80 42 00 00 88 9F FF 81") + Repeat(0x20, 20) + Hex("88"); // ends on a lone lead byte
    std::copy(title.begin(), title.end(), r.begin());
    SinarioData d;
    ASSERT_TRUE(DecodeSinario(r.data(), r.size(), d));
    const std::u16string expected = std::u16string(u"A\uFFFDB\0\0亜\uFFFD\uFFFD", 8)
        + std::u16string(20, u' ') + u"\uFFFD";
    EXPECT_EQ(Title(d), PadTo30(expected, u'\0'));
    EXPECT_EQ(TitleText(d).left(6), QStringLiteral("A\uFFFDB亜\uFFFD\uFFFD"));
}

TEST(SinarioDecode, StepCountOutsideTheRecordIsNoScenario)
{
    const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t stored;
        bool read;
    } cases[] = {{0, true}, {1, true}, {50, true}, {51, false}, {kMax, false}, {-1, false}, {kMin, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        SinarioData d;
        d.stepCount = c.stored;
        const Record r = Encoded(d);
        SinarioData back = Busy();
        EXPECT_EQ(DecodeSinario(r.data(), r.size(), back), c.read);
        EXPECT_EQ(back.stepCount, c.read ? c.stored : Busy().stepCount);
    }
}

TEST(SinarioDecode, TooFewBytesLeaveTheRecordAlone)
{
    const Record r = Encoded(SinarioData{});
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kRecordSize - 1}) {
        SinarioData d = Busy();
        EXPECT_FALSE(DecodeSinario(r.data(), size, d));
        EXPECT_EQ(d, Busy());
    }
    SinarioData d = Busy();
    EXPECT_FALSE(DecodeSinario(nullptr, kRecordSize, d));
    EXPECT_EQ(d, Busy());
}

class SinarioFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    static void WriteRaw(const QString& path, const std::vector<unsigned char>& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }
    static std::vector<unsigned char> ReadRaw(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QByteArray b = f.readAll();
        return {b.begin(), b.end()};
    }

    QTemporaryDir dir_;
};

SinarioData FiftySteps()
{
    SinarioData d;
    SetTitle(d, QStringLiteral("ｼﾅﾘｵ 50 steps, all single-byte")); // exactly 30 bytes
    d.stepCount = 50;
    for (std::int32_t n = 0; n <= 50; ++n) {
        SinarioStep& s = d.steps[static_cast<std::size_t>(n)];
        s.kind = static_cast<std::int16_t>(n % 6);
        s.value = n * 7 - 100;
        s.addTemp = n % 2;
        s.mol = n;
        s.container = 0.5 + n;
        s.temperatureUnit = n % 2;
        s.pressureUnit = n % 3;
        s.grphWMin = -n;
        s.grphWMax = 100 + n;
        s.grphHMin = n * 10;
        s.grphHMax = 1000 + n;
    }
    return d;
}

TEST_F(SinarioFile, FiftyStepsSaveAndReloadUnchanged)
{
    const SinarioData d = FiftySteps();
    QString error;
    ASSERT_TRUE(WriteSinarioFile(d, Path("a.so1"), &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(Path("a.so1")).size(), 2380);

    SinarioData back = Busy();
    ASSERT_TRUE(ReadSinarioFile(back, Path("a.so1"), &error)) << error.toStdString();
    EXPECT_EQ(back, d);
}

TEST_F(SinarioFile, OverwritingKeepsTheTailOfALongerFile)
{
    const QString path = Path("long.so1");
    WriteRaw(path, Repeat(0xAB, kRecordSize + 100));
    const SinarioData d = FiftySteps();
    ASSERT_TRUE(WriteSinarioFile(d, path));
    const std::vector<unsigned char> file = ReadRaw(path);
    const Record r = Encoded(d);
    ASSERT_EQ(file.size(), kRecordSize + 100);
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.begin() + kRecordSize), Bytes(r, 0, kRecordSize));
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + kRecordSize, file.end()), Repeat(0xAB, 100));

    // A shorter file simply becomes the record.
    WriteRaw(path, Repeat(0xAB, 10));
    ASSERT_TRUE(WriteSinarioFile(d, path));
    EXPECT_EQ(ReadRaw(path), Bytes(r, 0, kRecordSize));
}

TEST_F(SinarioFile, ReadingUsesOnlyTheFirstRecordAndReplacesEverySlot)
{
    SinarioData d;
    SetTitle(d, QStringLiteral("tail"));
    d.stepCount = 2;
    d.steps[1].kind = StepGrphOn;
    d.steps[2].kind = StepGrphOff;
    d.steps[40].kind = StepBussitu; // past the count: still what the file holds
    d.steps[40].value = 2;
    const Record r = Encoded(d);
    WriteRaw(Path("b.so1"), Bytes(r, 0, kRecordSize) + Repeat(0xFF, 5000));

    SinarioData back = Busy();
    ASSERT_TRUE(ReadSinarioFile(back, Path("b.so1")));
    EXPECT_EQ(Title(back), PadTo30(u"tail", u' '));
    EXPECT_EQ(back.stepCount, 2);
    EXPECT_EQ(back.steps[40], d.steps[40]);
    EXPECT_EQ(back.steps[7], SinarioStep{});
    EXPECT_EQ(back.steps[0], SinarioStep{});
}

TEST_F(SinarioFile, FailedReadLeavesTheScenarioAsItWas)
{
    const Record r = Encoded(FiftySteps());
    WriteRaw(Path("empty.so1"), {});
    WriteRaw(Path("short.so1"), Bytes(r, 0, kRecordSize - 1));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.so1")));
    std::vector<QString> paths = {Path("missing.so1"), Path("empty.so1"), Path("short.so1"),
                                  Path("folder.so1"), QString()};
#ifdef Q_OS_UNIX
    // A pipe would block a plain read for ever.
    ASSERT_EQ(::mkfifo(Path("pipe.so1").toLocal8Bit().constData(), 0600), 0);
    paths.push_back(Path("pipe.so1"));
#endif
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        SinarioData d = Busy();
        QString error;
        EXPECT_FALSE(ReadSinarioFile(d, path, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(d, Busy());
    }
}

TEST_F(SinarioFile, FailedWriteIsReported)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.so1")));
    std::vector<QString> paths = {Path("no/such/folder/a.so1"), Path("folder.so1"), QString()};
#ifdef Q_OS_UNIX
    WriteRaw(Path("readonly.so1"), Repeat(0x11, 3000));
    ASSERT_TRUE(QFile::setPermissions(Path("readonly.so1"), QFileDevice::ReadOwner));
    if (::geteuid() != 0) paths.push_back(Path("readonly.so1")); // root writes regardless
    ASSERT_EQ(::mkfifo(Path("pipe.so1").toLocal8Bit().constData(), 0600), 0);
    paths.push_back(Path("pipe.so1"));
#endif
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        QString error;
        EXPECT_FALSE(WriteSinarioFile(FiftySteps(), path, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(Path("no/such/folder/a.so1")));
#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        EXPECT_EQ(ReadRaw(Path("readonly.so1")), Repeat(0x11, 3000));
    }
#endif
}

TEST(SinarioFileName, WithoutExtensionGetsSo1)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/t/授業1", "/home/t/授業1.so1"},
        {"/home/t/授業1.", "/home/t/授業1.so1"},
        {"/home/t/.授業", "/home/t/.授業.so1"}, // a hidden name has no extension
        {"/home/t/v1.2/授業1", "/home/t/v1.2/授業1.so1"},
        {"/home/t/授業1.so1", "/home/t/授業1.so1"},
        {"/home/t/授業1.SO1", "/home/t/授業1.SO1"},
        {"/home/t/授業1.bak", "/home/t/授業1.bak"},
        {"C:\\授業\\a", "C:\\授業\\a.so1"},
    };
    for (const auto& [chosen, saved] : cases)
        EXPECT_EQ(mdlSinario::WithScenarioExtension(QString::fromUtf8(chosen)), QString::fromUtf8(saved)) << chosen;
}

} // namespace
