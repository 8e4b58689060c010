#include <gtest/gtest.h>

#include <string>

#include "core/settings/ProfileFile.h"

using namespace std::string_literals;

namespace {

struct ReadCase {
    const char* what;
    std::string text;
    std::string section;
    std::string key;
    std::size_t n;
    std::string expected;
};

TEST(ProfileRead, FindsValuesAsTheFormDefines)
{
    const std::string sixty = "1"s + std::string(48, '0') + "abcdefghijk";
    const ReadCase cases[] = {
        {"no text", "", "DATA", "mol", 50, "def"},
        {"no section", "[OTHER]\r\nmol=5\r\n", "DATA", "mol", 50, "def"},
        {"no key", "[DATA]\r\ncontainer=5\r\n", "DATA", "mol", 50, "def"},
        {"plain", "[DATA]\r\nmol=5\r\n", "DATA", "mol", 50, "5"},
        {"LF lines", "[DATA]\nmol=5\n", "DATA", "mol", 50, "5"},
        {"last line unterminated", "[DATA]\nmol=5", "DATA", "mol", 50, "5"},
        {"CR before the end of the text", "[DATA]\nmol=5\r", "DATA", "mol", 50, "5"},
        {"lone CR inside a line", "[DATA]\nmol=5\rx=1\n", "DATA", "mol", 50, "5\rx=1"},
        {"spaces and tabs around", "[DATA]\r\n  mol \t=  12.5  \r\n", "DATA", "mol", 50, "12.5"},
        {"names in other case", "[data]\r\nMOL=5\r\n", "DATA", "mol", 50, "5"},
        {"section name with blanks", "[ Data ]\r\nmol=5\r\n", "DATA", "mol", 50, "5"},
        {"empty value is no default", "[DATA]\r\nmol=\r\n", "DATA", "mol", 50, ""},
        {"'=' inside the value", "[DATA]\r\nmol=a=b\r\n", "DATA", "mol", 50, "a=b"},
        {"key before any section", "mol=1\r\n[DATA]\r\n", "DATA", "mol", 50, "def"},
        {"key of another section", "[A]\r\nmol=1\r\n[DATA]\r\nx=2\r\n[B]\r\nmol=3\r\n", "DATA",
         "mol", 50, "def"},
        {"first key wins", "[DATA]\r\nmol=1\r\nmol=2\r\n", "DATA", "mol", 50, "1"},
        {"first section wins", "[DATA]\r\nx=1\r\n[DATA]\r\nmol=2\r\n", "DATA", "mol", 50, "def"},
        {"comment is no key", "[DATA]\r\n;mol=3\r\n", "DATA", "mol", 50, "def"},
        {"unclosed bracket is no section", "[DATA\r\nmol=3\r\n", "DATA", "mol", 50, "def"},
        {"byte-order mark", "\xEF\xBB\xBF[DATA]\r\nmol=5\r\n", "DATA", "mol", 50, "5"},
        {"60 characters", "[DATA]\r\nmol=" + sixty + "\r\n", "DATA", "mol", 50,
         sixty.substr(0, 49)},
        {"cut after trimming", "[DATA]\r\nmol=   5" + std::string(48, ' ') + "x\r\n", "DATA",
         "mol", 50, "5" + std::string(48, ' ')},
        {"default cut too", "", "DATA", "mol", 3, "de"},
        {"buffer of one", "[DATA]\r\nmol=5\r\n", "DATA", "mol", 1, ""},
        {"buffer of none", "[DATA]\r\nmol=5\r\n", "DATA", "mol", 0, ""},
        {"NUL is an ordinary byte here", "[DATA]\r\nmol=5\0"s "7\r\n"s, "DATA", "mol", 50,
         "5\0"s "7"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(profile::ReadString(c.text, c.section, c.key, "def", c.n), c.expected)
            << c.what;
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string key;
    std::string after;
};

TEST(ProfileWrite, ChangesOnlyTheKeyLine)
{
    const WriteCase cases[] = {
        {"new text uses CR LF", "", "mol", "[DATA]\r\nmol=5\r\n"},
        {"replace keeps the text up to '=' and the line end",
         "; top\r\n[DATA]\r\nmol = 1   \r\nx=2\r\n", "mol",
         "; top\r\n[DATA]\r\nmol =5\r\nx=2\r\n"},
        {"replace matches names in other case", "[data]\nMOL=1\n", "mol", "[data]\nMOL=5\n"},
        {"append after the last key, before blanks and the next section",
         "[DATA]\nA=1\n; c\n\n[B]\nmol=9\n", "mol", "[DATA]\nA=1\nmol=5\n; c\n\n[B]\nmol=9\n"},
        {"section without keys", "[DATA]\r\n\r\n[B]\r\n", "mol", "[DATA]\r\nmol=5\r\n\r\n[B]\r\n"},
        {"unterminated last key line", "[DATA]\nA=1", "mol", "[DATA]\nA=1\nmol=5\n"},
        {"unterminated section line", "[DATA]", "mol", "[DATA]\r\nmol=5\r\n"},
        {"CR at the very end of an LF text", "[DATA]\nA=1\r", "mol", "[DATA]\nA=1\r\nmol=5\n"},
        {"new section after an unterminated line", "[X]\r\nk=v", "mol",
         "[X]\r\nk=v\r\n[DATA]\r\nmol=5\r\n"},
        {"new section in an LF file", "[X]\nk=v\n", "mol", "[X]\nk=v\n[DATA]\nmol=5\n"},
        {"first of two sections", "[DATA]\nA=1\n[DATA]\nmol=1\n", "mol",
         "[DATA]\nA=1\nmol=5\n[DATA]\nmol=1\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[DATA]\r\nmol=1\r\n", "mol",
         "\xEF\xBB\xBF[DATA]\r\nmol=5\r\n"},
    };
    for (const auto& c : cases) {
        std::string text = c.before;
        EXPECT_TRUE(profile::WriteString(text, "DATA", c.key, "5")) << c.what;
        EXPECT_EQ(text, c.after) << c.what;
        EXPECT_EQ(profile::ReadString(text, "DATA", c.key, "def", 50), "5") << c.what;
    }
}

TEST(ProfileWrite, RefusesWhatCouldNotBeReadBack)
{
    const struct {
        std::string section, key, value;
    } cases[] = {
        {"DA]TA", "mol", "5"}, {"DA\nTA", "mol", "5"}, {"DATA", "m=ol", "5"},
        {"DATA", "", "5"},     {"DATA", "  ", "5"},    {"DATA", "[mol", "5"},
        {"DATA", ";mol", "5"}, {"DATA", "mol", "5\r6"}, {"DATA", "mol", "5\n6"},
        {"DATA", "mol", "5\0"s "6"s},
    };
    for (const auto& c : cases) {
        std::string text = "[DATA]\r\nmol=1\r\n";
        EXPECT_FALSE(profile::WriteString(text, c.section, c.key, c.value))
            << c.section << '/' << c.key << '/' << c.value;
        EXPECT_EQ(text, "[DATA]\r\nmol=1\r\n");
    }
}

} // namespace
