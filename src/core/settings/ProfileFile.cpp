#include "ProfileFile.h"

namespace profile {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

enum class Kind { Other, Section, Key };

// One line of the text. Offsets are into the whole text; the content excludes the line
// end ("\n" or "\r\n").
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
    Kind kind = Kind::Other;
    std::string_view name;     // section or key name, trimmed
    std::size_t valueBegin = 0; // Key: first byte after "="
};

Line Classify(std::string_view text, std::size_t begin, std::size_t contentEnd, std::size_t end)
{
    Line line;
    line.begin = begin;
    line.contentEnd = contentEnd;
    line.end = end;
    std::size_t i = begin;
    if (begin == 0 && text.substr(0, kBom.size()) == kBom) i = kBom.size();
    while (i < contentEnd && IsBlank(text[i])) ++i;
    if (i == contentEnd) return line;
    const std::string_view rest = text.substr(i, contentEnd - i);
    if (rest.front() == '[') {
        const auto close = rest.find(']');
        if (close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = Trim(rest.substr(1, close - 1));
        }
        return line;
    }
    if (rest.front() == ';') return line;
    const auto eq = rest.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = Kind::Key;
    line.name = Trim(rest.substr(0, eq));
    line.valueBegin = i + eq + 1;
    return line;
}

// Where a key stands, or where it would go.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;       // when keyFound
    Line lastLine;      // when sectionFound and not keyFound: the line to add the key after
};

Place Locate(std::string_view text, std::string_view section, std::string_view key)
{
    section = Trim(section);
    key = Trim(key);
    Place place;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        // A CR before the LF, or before the end of an unterminated last line, is part of
        // the line end: the line then reads the same once the LF is added.
        std::size_t contentEnd = nl == std::string_view::npos ? text.size() : nl;
        if (contentEnd > pos && text[contentEnd - 1] == '\r') --contentEnd;
        const Line line = Classify(text, pos, contentEnd, end);
        pos = end;

        if (line.kind == Kind::Section) {
            if (place.sectionFound) break; // the first matching section ends here
            if (SameName(line.name, section)) {
                place.sectionFound = true;
                place.lastLine = line;
            }
        } else if (line.kind == Kind::Key && place.sectionFound) {
            if (SameName(line.name, key)) {
                place.keyFound = true;
                place.keyLine = line;
                break;
            }
            place.lastLine = line;
        }
    }
    return place;
}

std::string_view LineEnd(std::string_view text)
{
    const auto nl = text.find('\n');
    if (nl == std::string_view::npos) return "\r\n";
    return nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

bool HasBreakOrNul(std::string_view t)
{
    return t.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::string ReadString(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view fallback, std::size_t n)
{
    const std::size_t limit = n == 0 ? 0 : n - 1;
    const Place place = Locate(text, section, key);
    if (!place.keyFound) return std::string(fallback.substr(0, limit));
    const Line& line = place.keyLine;
    const std::string_view value =
        Trim(text.substr(line.valueBegin, line.contentEnd - line.valueBegin));
    return std::string(value.substr(0, limit));
}

bool HasSection(std::string_view text, std::string_view section)
{
    // A key name no line can hold stops the search at the section's end.
    return Locate(text, section, "=").sectionFound;
}

bool WriteString(std::string& text, std::string_view section, std::string_view key,
                 std::string_view value)
{
    if (HasBreakOrNul(section) || HasBreakOrNul(key) || HasBreakOrNul(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos) return false;
    const std::string_view trimmedKey = Trim(key);
    if (trimmedKey.empty() || trimmedKey.front() == '[' || trimmedKey.front() == ';')
        return false;

    const Place place = Locate(text, section, key);
    const std::string eol(LineEnd(text));
    if (place.keyFound) {
        const Line& line = place.keyLine;
        text.replace(line.valueBegin, line.contentEnd - line.valueBegin, value);
        return true;
    }

    // New lines go after the section's last key, or at the end with a new section.
    const std::size_t at = place.sectionFound ? place.lastLine.end : text.size();
    std::string added;
    if (at == text.size() && !text.empty() && text.back() != '\n')
        added = text.back() == '\r' ? "\n" : eol; // end the unterminated last line first
    if (!place.sectionFound) added.append("[").append(section).append("]").append(eol);
    added.append(key).append("=").append(value).append(eol);
    text.insert(at, added);
    return true;
}

} // namespace profile
