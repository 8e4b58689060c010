#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/model/NumText.h"

using namespace numtext;

TEST(NumText, ParseDoubleAcceptsDecimalNotationOnly)
{
    const struct { const char* text; std::optional<double> want; } cases[] = {
        {"30", 30.0}, {"  12.5  ", 12.5}, {"-0.5", -0.5}, {"+7", 7.0}, {".5", 0.5}, {"5.", 5.0},
        {"1e3", 1000.0}, {"2.5E-1", 0.25},
        {"", std::nullopt}, {"   ", std::nullopt}, {"-", std::nullopt}, {"abc", std::nullopt},
        {"12abc", std::nullopt}, {"0x10", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt},
        {"1e", std::nullopt}, {"1e999", std::nullopt}, {"1 2", std::nullopt}, {"１２", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDouble(c.text), c.want) << '"' << c.text << '"';
}

TEST(NumText, WholeNumbersRoundHalvesToEvenAndFit32Bits)
{
    const struct { const char* text; std::optional<std::int32_t> want; } cases[] = {
        {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"12.5", 12}, {"13.5", 14}, {"20.5", 20},
        {"0.49", 0}, {"-0.5", 0}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"1e10", std::nullopt},
        {"", std::nullopt}, {"x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWhole(c.text), c.want) << '"' << c.text << '"';

    EXPECT_EQ(ToWholeSaturated(std::nan("")), 0);
    EXPECT_EQ(ToWholeSaturated(1e300), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ToWholeSaturated(-HUGE_VAL), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ToWholeSaturated(4.5), 4);
}

TEST(NumText, TypedTextReadsFullWidthFormsAsAscii)
{
    // What an input method types: full-width digits, signs and point; the minus sign
    // U+2212 and the long vowel mark ー (and its half-width ｰ) the minus key gives in kana
    // mode; ideographic spaces around. Anything else still makes no number.
    const struct { const char* text; std::optional<double> want; } cases[] = {
        {"８０", 80.0}, {"－１０", -10.0}, {"１２．５", 12.5}, {"−１０", -10.0}, {"＋７", 7.0},
        {"\u3000２５\u3000", 25.0}, {"1２.５", 12.5}, {"80", 80.0},
        {"８０ｘ", std::nullopt}, {"８ ０", std::nullopt}, {"ー１０", -10.0}, {"ｰ５", -5.0}, {"ーー５", std::nullopt}, {"８，０", std::nullopt},
        {"－", std::nullopt}, {"", std::nullopt}, {"\xEF\xBC", std::nullopt}, {"１\xE2\x88", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTypedDouble(c.text), c.want) << '"' << c.text << '"';
    EXPECT_EQ(ParseTypedWhole("１２．５"), 12);
    EXPECT_EQ(ParseTypedWhole("１３．５"), 14);
    EXPECT_EQ(ParseTypedWhole("９９９９９９９９９９"), std::nullopt);
    EXPECT_EQ(FoldFullWidth("温度－１０℃"), "温度-10℃");
}

TEST(NumText, GeneralTextIsShortestUpTo15Digits)
{
    const struct { double v; const char* want; } cases[] = {
        {30, "30"}, {22.4, "22.4"}, {-50, "-50"}, {0, "0"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"},
        {2.5, "2.5"}, {800, "800"}, {1.0 / 3, "0.333333333333333"}, {1e20, "1e+20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGeneral(c.v), c.want) << c.v;
    EXPECT_EQ(FormatWhole(-2147483648LL), "-2147483648");
}

TEST(NumText, FixedTextRoundsHalvesAwayFromZero)
{
    const struct { double v; int decimals; const char* want; } cases[] = {
        {21.26467, 1, "21.3"}, {760, 1, "760.0"}, {1, 3, "1.000"}, {0.7462, 3, "0.746"},
        {2.5, 0, "3"}, {-2.5, 0, "-3"}, {0.15, 1, "0.2"}, {0.05, 1, "0.1"}, {0.04, 1, "0.0"},
        {-0.04, 1, "0.0"}, {-0.05, 1, "-0.1"}, {0.0005, 3, "0.001"}, {9.95, 1, "10.0"},
        {0.0002027342, 1, "0.0"}, {1013, 0, "1013"}, {755.9006, 0, "756"}, {0, 1, "0.0"},
        {99999.96, 1, "100000.0"}, {0.5, 0, "1"}, {0.4, 0, "0"}, {1e20, 1, "100000000000000000000.0"},
        {std::nan(""), 1, "0.0"}, {HUGE_VAL, 3, "0.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.v, c.decimals), c.want) << c.v << " with " << c.decimals;
}
