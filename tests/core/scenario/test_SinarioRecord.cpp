// The .so1 record's bytes without files or Qt, so the same checks run in the WebAssembly
// build: a record made in the browser must be the desktop's byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/scenario/SinarioRecord.h"

using namespace mdlSinario;

namespace {

using Record = std::array<unsigned char, kRecordSize>;

Record Encoded(const SinarioData& d)
{
    Record r{};
    EncodeSinario(d, r);
    return r;
}

std::string Bytes(const Record& r, std::size_t at, std::size_t n)
{
    return std::string(reinterpret_cast<const char*>(r.data()) + at, n);
}

TEST(SinarioRecordBytes, TitleStepCountAndStepsLieAtTheirOffsets)
{
    SinarioData d;
    SetTitleUnits(d, u"蒸気圧");
    d.stepCount = 2;
    SinarioStep& s = d.steps[2];
    s.kind = StepTemp;
    s.value = -40;
    s.addTemp = 1;
    s.mol = 0x01020304;
    s.container = 22.4;
    s.temperatureUnit = 1;
    s.pressureUnit = 2;
    s.grphWMin = -50;
    s.grphWMax = 150;
    s.grphHMin = 0;
    s.grphHMax = 800;
    const Record r = Encoded(d);
    EXPECT_EQ(Bytes(r, 0, 30), "\x8f\xf6\x8b\x43\x88\xb3" + std::string(24, ' '));
    EXPECT_EQ(Bytes(r, 30, 4), std::string("\x02\0\0\0", 4));
    const std::size_t at = 34 + 46 * 2;
    double container = 22.4;
    std::string bits(8, '\0');
    std::memcpy(bits.data(), &container, 8);
    EXPECT_EQ(Bytes(r, at, 46),
              std::string("\x01\0" "\xd8\xff\xff\xff" "\x01\0\0\0" "\x04\x03\x02\x01", 14) + bits
                  + std::string("\x01\0\0\0" "\x02\0\0\0" "\xce\xff\xff\xff" "\x96\0\0\0" "\0\0\0\0" "\x20\x03\0\0", 24));
    EXPECT_EQ(Bytes(r, 34, 46), std::string(46, '\0')); // slot 0 is never used

    SinarioData back;
    ASSERT_TRUE(DecodeSinario(r.data(), r.size(), back));
    EXPECT_EQ(back.steps, d.steps);
    EXPECT_EQ(back.stepCount, 2);
    // Thirty bytes read back as the characters they hold; the units left over are NUL.
    EXPECT_EQ(TitleUnits(back), u"蒸気圧" + std::u16string(24, u' '));
}

TEST(SinarioRecordBytes, DecodingKeepsNanBitsAndRefusesWhatNoScenarioHolds)
{
    SinarioData d;
    d.stepCount = 2;
    d.steps[1].kind = StepTemp;
    d.steps[1].container = std::numeric_limits<double>::quiet_NaN();
    d.steps[2].kind = StepBussitu;
    d.steps[3].kind = 99; // past the count: never looked at
    const Record r = Encoded(d);
    SinarioData back;
    ASSERT_TRUE(DecodeSinario(r.data(), r.size(), back)) << SinarioRecordFault(r.data(), r.size());
    EXPECT_TRUE(std::isnan(back.steps[1].container));
    EXPECT_EQ(Encoded(back), r);

    struct Case {
        std::size_t at;
        std::vector<unsigned char> bytes;
        const char* fault; // part of the message
    } cases[] = {
        {30, {0xFF, 0xFF, 0xFF, 0xFF}, "ステップ数が -1 です"},
        {30, {51, 0, 0, 0}, "ステップ数が 51 です"},
        {30, {0x7F, 0x7F, 0x7F, 0x7F}, "ステップ数が"},
        {34 + 46 * 2, {6, 0}, "ステップ 2 の種類（6）"},
        {34 + 46 * 1, {0xFF, 0xFF}, "ステップ 1 の種類（-1）"},
    };
    SinarioData kept;
    SetTitleUnits(kept, u"kept");
    const SinarioData before = kept;
    for (const Case& c : cases) {
        Record bad = r;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.at));
        EXPECT_NE(SinarioRecordFault(bad.data(), bad.size()).find(c.fault), std::string::npos)
            << c.fault << ": " << SinarioRecordFault(bad.data(), bad.size());
        EXPECT_FALSE(DecodeSinario(bad.data(), bad.size(), kept)) << c.fault;
    }
    EXPECT_FALSE(DecodeSinario(r.data(), r.size() - 1, kept));
    EXPECT_FALSE(DecodeSinario(nullptr, r.size(), kept));
    EXPECT_EQ(kept, before);
    EXPECT_EQ(RefusedFileText("a.png", "x"), "「a.png」はシナリオデータとして読み込めません。\nx");
}

TEST(SinarioRecordBytes, TitleIsCutWholeInUnitsAndInBytes)
{
    SinarioData d;
    SetTitleUnits(d, std::u16string(29, u'x') + u"😀"); // the pair would straddle unit 30
    EXPECT_EQ(TitleUnits(d), std::u16string(29, u'x') + u" ");
    SetTitleUnits(d, u"a" + std::u16string(15, u'亜')); // 31 bytes: the last 亜 does not fit
    EXPECT_EQ(Bytes(Encoded(d), 29, 1), " ");
    SetTitleUnits(d, std::u16string(40, u'y'));
    EXPECT_EQ(TitleUnits(d), std::u16string(30, u'y'));
}

} // namespace
