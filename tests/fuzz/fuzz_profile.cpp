// Arbitrary bytes as a CONFIG.INI, and arbitrary key writes into arbitrary text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <iterator>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/NumText.h"
#include "core/settings/ConfigImport.h"
#include "core/settings/ProfileFile.h"
#include "desktop/settings/mdlSystem.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

std::string_view TrimBlanks(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

bool SameName(std::string_view a, std::string_view b)
{
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

void CheckInRange(const SystemSettings& s)
{
    Check(std::isfinite(s.container));
    Check(std::isfinite(s.grphHMin));
    Check(std::isfinite(s.grphHMax));
    Check(s.temperatureUnit >= 0 && s.temperatureUnit <= 1);
    Check(s.pressureUnit >= 0 && s.pressureUnit <= 2);
}

bool SameAsSaved(const SystemSettings& a, const SystemSettings& b)
{
    auto same = [](double x, double y) {
        return numtext::FormatGeneral(x) == numtext::FormatGeneral(y);
    };
    return same(a.container, b.container) && a.mol == b.mol
        && a.temperatureUnit == b.temperatureUnit && a.pressureUnit == b.pressureUnit
        && a.grphWMin == b.grphWMin && a.grphWMax == b.grphWMax
        && same(a.grphHMin, b.grphHMin) && same(a.grphHMax, b.grphHMax);
}

// The lines of a profile text without their line ends (LF, or CR LF, or a CR ending the
// text), each with the name of the section it is in, and for a key line its name.
struct TextLine {
    std::string_view content;
    bool isSection = false;
    bool isKey = false;
    std::string_view name;
};

std::vector<TextLine> Lines(std::string_view text)
{
    std::vector<TextLine> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        const std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        if (end > pos && text[end - 1] == '\r') --end;
        TextLine line;
        line.content = text.substr(pos, end - pos);
        std::string_view rest = line.content;
        if (pos == 0 && rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
        rest = TrimBlanks(rest);
        if (!rest.empty() && rest.front() == '[') {
            const auto close = rest.find(']');
            if (close != std::string_view::npos) {
                line.isSection = true;
                line.name = TrimBlanks(rest.substr(1, close - 1));
            }
        } else if (!rest.empty() && rest.front() != ';') {
            const auto eq = rest.find('=');
            if (eq != std::string_view::npos) {
                line.isKey = true;
                line.name = TrimBlanks(rest.substr(0, eq));
            }
        }
        lines.push_back(line);
        pos = next;
    }
    return lines;
}

constexpr std::string_view kOwnedKeys[] = {"container", "mol", "temperatureUnit", "pressureUnit",
                                           "grphWMin", "grphWMax", "grphHMin", "grphHMax"};

// The lines the save does not own: all but the first of each of the eight keys in the first
// "DATA" section, and, in the saved text of a file that had no such section, its header.
std::vector<std::string_view> NotOwned(std::string_view text, bool dropDataHeader)
{
    std::vector<std::string_view> kept;
    bool inData = false, dataSeen = false;
    bool taken[std::size(kOwnedKeys)] = {};
    for (const TextLine& line : Lines(text)) {
        if (line.isSection) {
            inData = !dataSeen && SameName(line.name, "DATA");
            dataSeen = dataSeen || inData;
            if (inData && dropDataHeader) continue;
        } else if (line.isKey && inData) {
            bool owned = false;
            for (std::size_t k = 0; k < std::size(kOwnedKeys) && !owned; ++k) {
                if (!taken[k] && SameName(line.name, kOwnedKeys[k])) taken[k] = owned = true;
                // A later line of a key already taken is not the save's.
                else if (taken[k] && SameName(line.name, kOwnedKeys[k])) break;
            }
            if (owned) continue;
        }
        kept.push_back(line.content);
    }
    return kept;
}

bool HasDataSection(std::string_view text)
{
    for (const TextLine& line : Lines(text))
        if (line.isSection && SameName(line.name, "DATA")) return true;
    return false;
}

// The whole input as the settings file: load, save into it, load again.
void SettingsFromText(std::string_view text)
{
    SystemSettings s;
    mdlSystem::LoadSystemSettingsFromText(s, text);
    CheckInRange(s);

    const std::string saved = mdlSystem::SaveSystemSettingsToText(s, std::string(text));
    SystemSettings back;
    mdlSystem::LoadSystemSettingsFromText(back, saved);
    Check(SameAsSaved(s, back));
    Check(mdlSystem::SaveSystemSettingsToText(back, saved) == saved);
    // Every line that is not one of the eight keys survives byte for byte, in its order.
    Check(NotOwned(text, false) == NotOwned(saved, !HasDataSection(text)));
}

// A file taken in keeps its bytes unless it is UTF-16, and what is kept is taken in again as
// it is: a file exported and imported again never changes.
void TakenIn(std::string_view file)
{
    const mdlSystem::ImportedConfig r = mdlSystem::ImportConfigBytes(file, file.size());
    Check(r.ok == r.reason.empty());
    if (!r.ok) return;
    const bool utf16 = file.substr(0, 2) == "\xFF\xFE" || file.substr(0, 2) == "\xFE\xFF";
    Check(utf16 || r.bytes == file);
    Check(r.bytes.find('\0') == std::string::npos && profile::HasSection(r.bytes, "DATA"));
    const mdlSystem::ImportedConfig again = mdlSystem::ImportConfigBytes(r.bytes, r.bytes.size());
    Check(again.ok && again.bytes == r.bytes);
}

// One key written into arbitrary text reads back, and leaves every other key alone.
void WriteThenRead(FuzzedDataProvider& in)
{
    const std::string section = in.ConsumeRandomLengthString(12);
    const std::string key = in.ConsumeRandomLengthString(12);
    const std::string value = in.ConsumeRandomLengthString(60);
    const std::string otherSection = in.ConsumeRandomLengthString(12);
    const std::string otherKey = in.ConsumeRandomLengthString(12);
    const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 80);
    const std::string before = in.ConsumeRemainingBytesAsString();

    const std::string read = profile::ReadString(before, section, key, "default", n);
    Check(read.size() + 1 <= (n == 0 ? 1 : n));

    std::string after = before;
    if (!profile::WriteString(after, section, key, value)) {
        Check(after == before);
        return;
    }
    const std::string_view expected = TrimBlanks(value);
    Check(profile::ReadString(after, section, key, "", expected.size() + 1) == expected);

    std::string again = after;
    Check(profile::WriteString(again, section, key, value) && again == after);

    if (!(SameName(section, otherSection) && SameName(key, otherKey)))
        Check(profile::ReadString(before, otherSection, otherKey, "none", 200)
              == profile::ReadString(after, otherSection, otherKey, "none", 200));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SettingsFromText(text);
    TakenIn(text);
    FuzzedDataProvider in(data, size);
    WriteThenRead(in);
    return 0;
}
