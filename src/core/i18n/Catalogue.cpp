#include "core/i18n/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace i18n {

namespace {

struct Entry {
    std::string_view key;
    std::array<std::string_view, kLangCount> text;
};

// Kept in the order a translator reads it; looked up through kOrder.
constexpr Entry kEntries[] = {
#include "core/i18n/Catalogue.inc"
};
constexpr std::size_t kCount = std::size(kEntries);

// The entries' indices by key, sorted as the program is compiled; a key written twice does
// not compile.
constexpr auto kOrder = [] {
    std::array<std::uint16_t, kCount> order{};
    for (std::size_t i = 0; i < kCount; ++i) order[i] = static_cast<std::uint16_t>(i);
    std::sort(order.begin(), order.end(), [](std::uint16_t a, std::uint16_t b) { return kEntries[a].key < kEntries[b].key; });
    return order;
}();
constexpr bool KeysUnique()
{
    for (std::size_t i = 1; i < kCount; ++i)
        if (kEntries[kOrder[i - 1]].key == kEntries[kOrder[i]].key) return false;
    return true;
}
static_assert(kCount < 65536 && KeysUnique(), "each key once");

constexpr auto kSortedKeys = [] {
    std::array<std::string_view, kCount> keys{};
    for (std::size_t i = 0; i < kCount; ++i) keys[i] = kEntries[kOrder[i]].key;
    return keys;
}();

constexpr std::array<Lang, kLangCount> kLangs{Lang::Ja, Lang::En, Lang::Pt, Lang::Es, Lang::Zh, Lang::Fil, Lang::Vi};
constexpr std::array<std::string_view, kLangCount> kCodes{"ja", "en", "pt", "es", "zh", "fil", "vi"};
constexpr std::array<std::string_view, kLangCount> kNames{
    "日本語", "English", "Português (Brasil)", "Español", "中文（简体）", "Filipino", "Tiếng Việt"};

// A value no enumerator names (a cast from a stored number) reads as Japanese.
std::size_t Column(Lang lang)
{
    const auto n = static_cast<std::size_t>(lang);
    return n < kLangCount ? n : 0;
}

const Entry* Find(std::string_view key)
{
    const auto at = std::lower_bound(kSortedKeys.begin(), kSortedKeys.end(), key);
    if (at == kSortedKeys.end() || *at != key) return nullptr;
    return &kEntries[kOrder[static_cast<std::size_t>(at - kSortedKeys.begin())]];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EqualsFolded(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Where a text's "(F)" stands: the letter's offset, or npos. It ends the text, or comes
// before a closing "...".
std::size_t LetterInParens(std::string_view text)
{
    std::string_view body = text;
    if (body.ends_with("...")) body.remove_suffix(3);
    if (body.size() < 3 || body[body.size() - 3] != '(' || !IsAsciiLetter(body[body.size() - 2])
        || body.back() != ')')
        return std::string_view::npos;
    return body.size() - 2;
}

// Where letter stands in a translated label: at the start of a word if it can, else its
// first place; npos when the label lacks it.
std::size_t LetterInWord(std::string_view text, char letter)
{
    std::size_t first = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != Lower(letter)) continue;
        const bool wordStart = i == 0 || text[i - 1] == ' ' || text[i - 1] == '-';
        if (wordStart) return i;
        if (first == std::string_view::npos) first = i;
    }
    return first;
}

// The access letter's offset in key's text in lang, or npos.
std::size_t AccessOffset(Lang lang, std::string_view key)
{
    const Entry* e = Find(key);
    if (!e) return std::string_view::npos;
    const std::string_view text = e->text[Column(lang)];
    if (const std::size_t at = LetterInParens(text); at != std::string_view::npos) return at;
    const std::string_view ja = e->text[0];
    const std::size_t jaAt = LetterInParens(ja);
    return jaAt == std::string_view::npos ? std::string_view::npos : LetterInWord(text, ja[jaAt]);
}

std::string_view TrimTitle(std::string_view title)
{
    const auto blank = [](char c) { return c == ' ' || c == '\0' || c == '\t' || c == '\r' || c == '\n'; };
    while (!title.empty() && blank(title.back())) title.remove_suffix(1);
    while (!title.empty() && blank(title.front())) title.remove_prefix(1);
    // The full-width space the Japanese titles are padded with, were one ever typed.
    while (title.ends_with("\u3000")) title.remove_suffix(3);
    return title;
}

} // namespace

std::span<const Lang> AllLangs() { return kLangs; }

std::string_view Code(Lang lang) { return kCodes[Column(lang)]; }

std::string_view Name(Lang lang) { return kNames[Column(lang)]; }

std::optional<Lang> FromCode(std::string_view code)
{
    for (std::size_t i = 0; i < kLangCount; ++i)
        if (EqualsFolded(code, kCodes[i])) return kLangs[i];
    constexpr std::pair<std::string_view, Lang> kMore[] = {
        {"pt-BR", Lang::Pt}, {"zh-CN", Lang::Zh}, {"zh-Hans", Lang::Zh}, {"tl", Lang::Fil}};
    for (const auto& [name, lang] : kMore)
        if (EqualsFolded(code, name)) return lang;
    return std::nullopt;
}

std::string_view Text(Lang lang, std::string_view key)
{
    const Entry* e = Find(key);
    return e ? e->text[Column(lang)] : key;
}

bool Has(std::string_view key) { return Find(key) != nullptr; }

std::span<const std::string_view> Keys() { return kSortedKeys; }

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 16 * args.size());
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '{') {
            // {digits}: at most 9 digits, so the number never overflows.
            std::size_t j = i + 1;
            std::size_t n = 0;
            while (j < pattern.size() && j - i <= 9 && pattern[j] >= '0' && pattern[j] <= '9')
                n = n * 10 + static_cast<std::size_t>(pattern[j++] - '0');
            if (j > i + 1 && j < pattern.size() && pattern[j] == '}' && n < args.size()) {
                out += *(args.begin() + n);
                i = j + 1;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::string Format(Lang lang, std::string_view key, std::initializer_list<std::string_view> args)
{
    return Format(Text(lang, key), args);
}

char AccessKey(Lang lang, std::string_view key)
{
    const std::size_t at = AccessOffset(lang, key);
    return at == std::string_view::npos ? '\0' : Upper(Text(lang, key)[at]);
}

std::string MarkedText(Lang lang, std::string_view key, char mark)
{
    const std::string_view text = Text(lang, key);
    const std::size_t at = AccessOffset(lang, key);
    std::string out;
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == at) out += mark;
        // A mark the text holds of itself is shown as itself.
        if (text[i] == mark) out += mark;
        out += text[i];
    }
    return out;
}

std::string LessonName(Lang lang, std::string_view fileStem, std::string_view title)
{
    std::string key = "lesson.";
    key += fileStem;
    const Entry* e = Find(key);
    if (!e || TrimTitle(title) != e->text[0]) return std::string(title);
    return std::string(e->text[Column(lang)]);
}

} // namespace i18n
