// The table the cores carry against ICU, which the desktop used before: every character
// written, every one- and two-byte sequence read, in the contexts that decide where reading
// resumes after a bad sequence.
#include <gtest/gtest.h>

#include <string>

#include "Cp932Icu.h"
#include "core/scenario/Cp932Text.h"

namespace {

TEST(Cp932Table, WritesEveryCharacterAsIcu)
{
    int differ = 0;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const std::u16string text{u'x', static_cast<char16_t>(u), u'y'};
        const std::string table = cp932::Encode(text, 30);
        if (table != cp932_icu::Encode(text, 30) && ++differ <= 5) ADD_FAILURE() << std::hex << "U+" << u;
    }
    EXPECT_EQ(differ, 0);
}

TEST(Cp932Table, WritesSurrogatesAndCutsAsIcu)
{
    const std::u16string texts[] = {
        u"😀", u"a😀b", std::u16string{char16_t(0xD83D), u'a'}, std::u16string{u'a', char16_t(0xDE00)},
        std::u16string(2, char16_t(0xD83D)), u"亜亜亜", u"ｱ亜ｱ亜", u"〜−‖—¢£¬"};
    for (const std::u16string& text : texts)
        for (std::size_t max = 0; max <= 8; ++max) EXPECT_EQ(cp932::Encode(text, max), cp932_icu::Encode(text, max));
}

TEST(Cp932Table, ReadsEverySequenceAsIcu)
{
    int differ = 0;
    for (unsigned a = 0; a < 256; ++a) {
        for (int b = -1; b < 256; ++b) {
            std::string bytes(1, static_cast<char>(a));
            if (b >= 0) bytes += static_cast<char>(b);
            for (const std::string& tail : {std::string(), std::string("A"), std::string("\x81"), std::string(1, '\0')}) {
                const std::string all = bytes + tail;
                if (cp932::Decode(all) != cp932_icu::Decode(all) && ++differ <= 5)
                    ADD_FAILURE() << std::hex << a << " " << b << " +" << tail.size();
            }
        }
    }
    EXPECT_EQ(differ, 0);
}

} // namespace
