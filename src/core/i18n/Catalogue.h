#pragma once
// Every text a person reads, on both faces, in the seven languages a pupil may choose.
// Japanese is the program's own language and the default: its texts are the ones the
// program has always shown, byte for byte. The table and the list of keys, with where
// each is used, are in Catalogue.inc.
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace i18n {

enum class Lang { Ja, En, Pt, Es, Zh, Fil, Vi };

constexpr int kLangCount = 7;

// Every language, in the table's column order.
std::span<const Lang> AllLangs();
// "ja", "en", "pt", "es", "zh", "fil", "vi".
std::string_view Code(Lang lang);
// The codes above, and "pt-BR", "zh-CN", "zh-Hans" and "tl", in any case; nothing else.
std::optional<Lang> FromCode(std::string_view code);
// The language's name in itself: "日本語", "English", … for the language menu.
std::string_view Name(Lang lang);

// The text of key in lang; an unknown key comes back as itself, so a face shows the key
// rather than nothing.
std::string_view Text(Lang lang, std::string_view key);
// Whether the table holds key.
bool Has(std::string_view key);
// Every key, sorted.
std::span<const std::string_view> Keys();

// pattern with each {n} replaced by args[n]; a {n} beyond the args, or any other brace,
// stays as written.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);
// Text(lang, key) formatted.
std::string Format(Lang lang, std::string_view key, std::initializer_list<std::string_view> args);

// ---- Menu access letters. The table writes them the way a menu shows them without the
// face's mark: "ファイル(F)" in Japanese and Chinese; in the other languages there is no
// "(F)", and the letter is the Japanese one where the translated word holds it, else none.

// The access letter of key's text in lang, upper case; '\0' when it has none.
char AccessKey(Lang lang, std::string_view key);
// The text with mark put before its access letter: "ファイル(&F)", "&File", "Arquivo".
std::string MarkedText(Lang lang, std::string_view key, char mark = '&');

// ---- The sample lessons: the menu names them in the pupil's language, while the files keep
// the titles their authors typed.

// The menu's name for the lesson file (its name without .so1) whose own title is title:
// the catalogue's name when it knows the file and the title is still the one it was made
// with, else the title as it stands (a teacher's own file under the same name).
std::string LessonName(Lang lang, std::string_view fileStem, std::string_view title);

} // namespace i18n
