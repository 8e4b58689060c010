// Arbitrary bytes as a CONFIG.INI, and arbitrary key writes into arbitrary text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/NumText.h"
#include "settings/ProfileFile.h"
#include "settings/mdlSystem.h"

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
    FuzzedDataProvider in(data, size);
    WriteThenRead(in);
    return 0;
}
