#include <gtest/gtest.h>

#include <string>

#include "core/scenario/Cp932Text.h"

namespace {

struct Mapping {
    const char* what;
    std::u16string text;
    std::string bytes;
};

// Windows' own code page 932: not the JIS table, which maps 81 60 to U+301C and lacks the
// NEC and IBM rows.
const Mapping kMappings[] = {
    {"wave dash as Windows maps it", u"～", "\x81\x60"},
    {"NEC row 13 circled one", u"①", "\x87\x40"},
    {"NEC row 13 roman numeral one", u"Ⅰ", "\x87\x54"},
    {"IBM extension small roman one", u"ⅰ", "\xFA\x40"},
    {"IBM extension kanji", u"髙", "\xFB\xFC"},
    {"half-width katakana", u"ｱ", "\xB1"},
    {"JIS level 1 kanji", u"亜", "\x88\x9F"},
    {"full-width reverse solidus", u"＼", "\x81\x5F"},
    {"full-width minus", u"－", "\x81\x7C"},
    {"user-defined area", u"\uE000", "\xF0\x40"},
    {"ASCII backslash and tilde stay ASCII", u"\\~", "\\~"},
    {"control codes stay themselves", u"\u001A\u001C\u007F", "\x1A\x1C\x7F"},
    {"NUL", std::u16string(1, u'\0'), std::string(1, '\0')},
};

TEST(Cp932Text, MapsBothWaysAsWindows)
{
    for (const Mapping& m : kMappings) {
        SCOPED_TRACE(m.what);
        EXPECT_EQ(cp932::Encode(m.text, 30), m.bytes);
        EXPECT_EQ(cp932::Decode(m.bytes), m.text);
    }
}

// What Linux input methods type for these characters: written with the bytes of the
// code page's own look-alikes, which is also what a reader gets back.
TEST(Cp932Text, JisStyleCharactersWriteAsTheirWindowsLookAlikes)
{
    const struct {
        const char* what;
        char16_t typed;
        std::string bytes;
        char16_t readBack;
    } cases[] = {
        {"wave dash", u'\u301C', "\x81\x60", u'\uFF5E'},
        {"minus sign", u'\u2212', "\x81\x7C", u'\uFF0D'},
        {"double vertical line", u'\u2016', "\x81\x61", u'\u2225'},
        {"em dash", u'\u2014', "\x81\x5C", u'\u2015'},
        {"cent sign", u'\u00A2', "\x81\x91", u'\uFFE0'},
        {"pound sign", u'\u00A3', "\x81\x92", u'\uFFE1'},
        {"not sign", u'\u00AC', "\x81\xCA", u'\uFFE2'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cp932::Encode(u"a" + std::u16string(1, c.typed) + u"b", 30), "a" + c.bytes + "b");
        EXPECT_EQ(cp932::Decode(c.bytes), std::u16string(1, c.readBack));
    }
    EXPECT_EQ(cp932::Encode(u"25\u301C100℃", 30), "25\x81\x60" "100\x81\x8E");
}

TEST(Cp932Text, DuplicateCodesDecodeToTheirCharacter)
{
    EXPECT_EQ(cp932::Decode("\xED\x40"), u"纊"); // NEC-selected copy of FA 5C
    EXPECT_EQ(cp932::Encode(u"纊", 30), "\xFA\x5C");
    EXPECT_EQ(cp932::Decode("\x87\x90"), u"≒"); // NEC row 13 copy of 81 E0
}

TEST(Cp932Text, UnencodableCharacterIsOneQuestionMark)
{
    const struct {
        const char* what;
        std::u16string text;
    } cases[] = {
        {"euro sign", u"€"},
        {"emoji, a surrogate pair", u"😀"},
        {"lone high surrogate", std::u16string(1, char16_t(0xD83D))},
        {"lone low surrogate", std::u16string(1, char16_t(0xDE00))},
        {"replacement character", u"\uFFFD"},
        {"private use beyond the user-defined area", u"\uE758"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cp932::Encode(u"a" + c.text + u"b", 30), "a?b");
    }
}

TEST(Cp932Text, BadBytesDecodeToReplacementAndDecodingGoesOn)
{
    const struct {
        const char* what;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"single bytes with no character", "\x80" "A\xA0\xFD\xFE\xFF", u"\uFFFDA\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"lead byte before a space keeps the space", "\x81 \x88\x9F", u"\uFFFD 亜"},
        {"lead byte before a NUL keeps the NUL", std::string("\x81\0A", 3), std::u16string(u"\uFFFD\0A", 3)},
        {"unassigned pair is one replacement", "\x85\x40" "A", u"\uFFFDA"},
        {"lone lead byte at the end", "A\x81", u"A\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cp932::Decode(c.bytes), c.text);
    }
}

TEST(Cp932Text, EncodingStopsBeforeACharacterThatDoesNotFit)
{
    EXPECT_EQ(cp932::Encode(u"亜亜", 3), "\x88\x9F");
    EXPECT_EQ(cp932::Encode(u"亜ｱ", 3), "\x88\x9F\xB1");
    EXPECT_EQ(cp932::Encode(u"abc", 2), "ab");
}

} // namespace
