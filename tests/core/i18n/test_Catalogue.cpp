// The catalogue of texts: every text there in every language, in the right script, with the
// same blanks to fill; the codes a face stores; the menus' access letters; the lessons' names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/i18n/Catalogue.h"
#include "core/scenario/SinarioRecord.h"
#include "core/scenario/Utf.h"
#include "web/Lessons.h"

#include "replay_lessons.inc" // webapi::kLessons, written by the build from lessons/*.so1

namespace {

using i18n::Lang;

// The code points of UTF-8 text; nothing when it is not well-formed UTF-8.
std::optional<std::u32string> CodePoints(std::string_view s)
{
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t more = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 9;
        if (more == 9 || s.size() - i <= more) return std::nullopt;
        char32_t c = more == 0 ? b : b & (0x3F >> more);
        for (std::size_t k = 1; k <= more; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return std::nullopt;
            c = c << 6 | (t & 0x3F);
        }
        out += c;
        i += more + 1;
    }
    return out;
}

bool IsKana(char32_t c)
{
    return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0xFF65 && c <= 0xFF9F);
}

// Characters Japanese writes in forms of its own, which simplified Chinese writes otherwise
// (気 气, 圧 压, 値 值 …): one in the Chinese is a Japanese word left untranslated.
bool IsJapaneseForm(char32_t c)
{
    static constexpr std::u32string_view kForms = U"気圧値読変択験図単応済広歩拡転録続終関閉開書選項動実際報時戻険様覧";
    return kForms.find(c) != std::u32string_view::npos;
}

// The {n} a text asks to be filled, sorted.
std::vector<std::string> Placeholders(std::string_view text)
{
    std::vector<std::string> found;
    for (std::size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1)) {
        const std::size_t end = text.find('}', at);
        if (end == std::string_view::npos) break;
        const std::string_view inside = text.substr(at + 1, end - at - 1);
        if (!inside.empty() && std::all_of(inside.begin(), inside.end(), [](char c) { return c >= '0' && c <= '9'; }))
            found.emplace_back(inside);
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST(Catalogue, EveryKeyHasItsTextInEveryLanguage)
{
    ASSERT_GT(i18n::Keys().size(), 200u);
    EXPECT_TRUE(std::is_sorted(i18n::Keys().begin(), i18n::Keys().end()));
    for (const std::string_view key : i18n::Keys()) {
        EXPECT_TRUE(i18n::Has(key)) << key;
        const auto ja = Placeholders(i18n::Text(Lang::Ja, key));
        for (const Lang lang : i18n::AllLangs()) {
            const std::string_view text = i18n::Text(lang, key);
            const std::string where = std::string(key) + " in " + std::string(i18n::Code(lang));
            EXPECT_FALSE(text.empty()) << where;
            const auto points = CodePoints(text);
            ASSERT_TRUE(points.has_value()) << where << " is not UTF-8";
            // Kana is Japanese alone: a kana left in Chinese is an untranslated Japanese word.
            if (lang != Lang::Ja) {
                EXPECT_TRUE(std::none_of(points->begin(), points->end(), IsKana)) << where << ": " << text;
            }
            if (lang == Lang::Zh) {
                EXPECT_TRUE(std::none_of(points->begin(), points->end(), IsJapaneseForm)) << where << ": " << text;
            }
            EXPECT_EQ(Placeholders(text), ja) << where << ": " << text;
        }
    }
}

TEST(Catalogue, LanguageNamesAndCodes)
{
    const struct {
        Lang lang;
        std::string_view code, name;
    } kLangs[] = {
        {Lang::Ja, "ja", "日本語"},
        {Lang::En, "en", "English"},
        {Lang::Pt, "pt", "Português (Brasil)"},
        {Lang::Es, "es", "Español"},
        {Lang::Zh, "zh", "中文（简体）"},
        {Lang::Fil, "fil", "Filipino"},
        {Lang::Vi, "vi", "Tiếng Việt"},
    };
    ASSERT_EQ(i18n::AllLangs().size(), std::size(kLangs));
    for (std::size_t i = 0; i < std::size(kLangs); ++i) {
        const auto& l = kLangs[i];
        EXPECT_EQ(i18n::AllLangs()[i], l.lang);
        EXPECT_EQ(i18n::Code(l.lang), l.code);
        EXPECT_EQ(i18n::Name(l.lang), l.name);
        EXPECT_EQ(i18n::FromCode(i18n::Code(l.lang)), l.lang);
        std::string upper(l.code);
        for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        EXPECT_EQ(i18n::FromCode(upper), l.lang) << upper;
    }
    for (const auto& [code, lang] : {std::pair{"pt-BR", Lang::Pt}, std::pair{"PT-br", Lang::Pt}, std::pair{"zh-CN", Lang::Zh},
                                     std::pair{"zh-hans", Lang::Zh}, std::pair{"ZH-HANS", Lang::Zh}, std::pair{"tl", Lang::Fil}, std::pair{"TL", Lang::Fil}})
        EXPECT_EQ(i18n::FromCode(code), lang) << code;
    for (const char* junk : {"", "j", "jp", "ja-", " ja", "ja ", "japanese", "pt-PT", "zh-TW", "zh-Hant", "fi", "fill",
                             "en_US", "\xE6\x97\xA5"})
        EXPECT_EQ(i18n::FromCode(junk), std::nullopt) << junk;
    EXPECT_EQ(i18n::FromCode(std::string_view("ja\0", 3)), std::nullopt);
    // A number stored by a face that no language has reads as Japanese.
    EXPECT_EQ(i18n::Code(static_cast<Lang>(99)), "ja");
    EXPECT_EQ(i18n::Text(static_cast<Lang>(-1), "liquid.water"), "水");
}

TEST(Catalogue, UnknownKeysComeBackAsThemselves)
{
    for (const std::string_view key : {std::string_view{}, std::string_view{"no.such.key"}, std::string_view{"menu"},
                                       std::string_view{"menu.file "}, std::string_view{"\xFF\xFE"}}) {
        EXPECT_FALSE(i18n::Has(key)) << key;
        EXPECT_EQ(i18n::Text(Lang::En, key), key);
        EXPECT_EQ(i18n::AccessKey(Lang::Ja, key), '\0');
    }
    EXPECT_EQ(i18n::Text(Lang::En, "liquid.water"), "Water");
    EXPECT_EQ(i18n::Text(Lang::Zh, "liquid.ether"), "乙醚");
}

TEST(Catalogue, FormatFillsOnlyWhatItIsGiven)
{
    const struct {
        std::string_view pattern;
        std::string_view want;
    } kCases[] = {
        {"{0} / {1}", "a / bb"},
        {"{1}{0}{1}", "bbabb"},
        {"{2} stays", "{2} stays"},
        {"{10}", "{10}"},
        {"{} {x} {-1} {0", "{} {x} {-1} {0"},
        {"{{0}}", "{a}"},
        {"{99999999999999999999999}", "{99999999999999999999999}"},
        {"{00}", "a"},
        {"end {", "end {"},
        {"", ""},
    };
    for (const auto& c : kCases) EXPECT_EQ(i18n::Format(c.pattern, {"a", "bb"}), c.want) << c.pattern;
    EXPECT_EQ(i18n::Format("{0}", {}), "{0}");
    // What fills a blank is never read for blanks of its own.
    EXPECT_EQ(i18n::Format("{0}{1}", {"{1}", "x"}), "{1}x");
    EXPECT_EQ(i18n::Format(Lang::En, "playback.step", {"3", "13"}), "Step 3 / 13");
    EXPECT_EQ(i18n::Format(Lang::Ja, "playback.end", {"13", "13"}), "シナリオの終わり（13 / 13）");
}

TEST(Catalogue, MenuAccessLetters)
{
    const struct {
        Lang lang;
        std::string_view key;
        char letter;
        std::string_view marked;
    } kCases[] = {
        {Lang::Ja, "menu.file", 'F', "ファイル(&F)"},
        {Lang::Ja, "menu.file.save_graph", 'G', "グラフを画像で保存(&G)..."},
        {Lang::Zh, "menu.file.print", 'P', "打印(&P)..."},
        {Lang::En, "menu.file", 'F', "&File"},
        // A word's first letter before a letter inside another word.
        {Lang::En, "menu.file.save_graph", 'G', "Save &graph as picture..."},
        {Lang::Es, "menu.file.save_graph", 'G', "&Guardar gráfica como imagen..."},
        {Lang::Pt, "menu.file.settings", 'I', "Configurações &iniciais"},
        {Lang::Vi, "menu.file.settings", 'I', "Cà&i đặt ban đầu"},
        // The letter is not in the word: no letter.
        {Lang::Pt, "menu.file", '\0', "Arquivo"},
        {Lang::Vi, "menu.help", '\0', "Trợ giúp"},
        // No letter in Japanese either.
        {Lang::Ja, "menu.view.full_screen", '\0', "全画面表示"},
        {Lang::En, "menu.view.full_screen", '\0', "Full screen"},
    };
    for (const auto& c : kCases) {
        const std::string where = std::string(c.key) + " in " + std::string(i18n::Code(c.lang));
        EXPECT_EQ(i18n::AccessKey(c.lang, c.key), c.letter) << where;
        EXPECT_EQ(i18n::MarkedText(c.lang, c.key), c.marked) << where;
        // Without a mark of its own, the text is the catalogue's.
        std::string unmarked = i18n::MarkedText(c.lang, c.key);
        std::erase(unmarked, '&');
        EXPECT_EQ(unmarked, i18n::Text(c.lang, c.key)) << where;
    }
    // A mark a text holds of itself is doubled, so it shows as itself.
    EXPECT_EQ(i18n::MarkedText(Lang::En, "Salt & water"), "Salt && water");
    EXPECT_EQ(i18n::MarkedText(Lang::En, "Salt ~ water", '~'), "Salt ~~ water");
    // Every menu item in Japanese and Chinese shows its letter, as the Japanese does.
    for (const std::string_view key : i18n::Keys()) {
        if (!key.starts_with("menu.")) continue;
        EXPECT_EQ(i18n::AccessKey(Lang::Zh, key), i18n::AccessKey(Lang::Ja, key)) << key;
    }
}

// The menu names each sample lesson in the pupil's language only while its file still holds
// the title the name was written for.
TEST(Catalogue, LessonNamesFollowTheFilesTitles)
{
    std::size_t named = 0;
    for (const webapi::Lesson& l : webapi::kLessons) {
        mdlSinario::SinarioData d;
        ASSERT_TRUE(mdlSinario::DecodeSinario(l.bytes, l.size, d)) << l.name;
        const std::string title = utf::Utf8Of(mdlSinario::TitleUnits(d));
        const std::string key = std::string("lesson.") + l.name;
        ASSERT_TRUE(i18n::Has(key)) << key << " names no lesson of the menu";
        EXPECT_EQ(i18n::LessonName(Lang::Ja, l.name, title), i18n::Text(Lang::Ja, key)) << l.name << ": " << title;
        const std::string english = i18n::LessonName(Lang::En, l.name, title);
        EXPECT_EQ(english, i18n::Text(Lang::En, key));
        EXPECT_NE(english, i18n::Text(Lang::Ja, key));
        ++named;
    }
    EXPECT_EQ(named, 4u);
    // A teacher's own file under a lesson's name, and a file the catalogue does not know.
    EXPECT_EQ(i18n::LessonName(Lang::En, "lesson1-water-curve", "エタノールの実験"), "エタノールの実験");
    EXPECT_EQ(i18n::LessonName(Lang::En, "my-lesson", "水の蒸気圧曲線"), "水の蒸気圧曲線");
    EXPECT_EQ(i18n::LessonName(Lang::En, "", ""), "");
    EXPECT_EQ(i18n::LessonName(Lang::Vi, "lesson1-water-curve", "水の蒸気圧曲線　 "), "Đường cong áp suất hơi của nước");
}

} // namespace
