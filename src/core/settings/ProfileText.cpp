#include "core/settings/ProfileText.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/model/NumText.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SettingsLimits.h"

namespace mdlSystem {

namespace {

// The keys in file order. A whole-number field carries the range it accepts on load.
struct Key {
    const char* name;
    const char* defaultText;
    double SystemSettings::*real;
    std::int32_t SystemSettings::*whole;
    std::int32_t min;
    std::int32_t max;
};

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

constexpr Key kKeys[] = {
    {"container", "30", &SystemSettings::container, nullptr, 0, 0},
    {"mol", "1", nullptr, &SystemSettings::mol, kMin, kMax},
    {"temperatureUnit", "0", nullptr, &SystemSettings::temperatureUnit, 0, 1},
    {"pressureUnit", "0", nullptr, &SystemSettings::pressureUnit, 0, 2},
    {"grphWMin", "-50", nullptr, &SystemSettings::grphWMin, kMin, kMax},
    {"grphWMax", "150", nullptr, &SystemSettings::grphWMax, kMin, kMax},
    {"grphHMin", "0", &SystemSettings::grphHMin, nullptr, 0, 0},
    {"grphHMax", "800", &SystemSettings::grphHMax, nullptr, 0, 0},
};

} // namespace

void InitSystemSettings(SystemSettings& s)
{
    s.container = 30;
    s.mol = 1;
    s.temperatureUnit = 0;
    s.pressureUnit = 0;
    s.grphWMin = -50;
    s.grphWMax = 150;
    s.grphHMin = 0;
    s.grphHMax = 800;
}

unsigned LoadSystemSettingsFromText(SystemSettings& s, std::string_view text)
{
    SystemSettings defaults;
    InitSystemSettings(defaults);
    unsigned faults = 0;
    for (const Key& key : kKeys) {
        std::string value = profile::ReadString(text, kSection, key.name, key.defaultText,
                                                kTransferSize);
        value.resize(std::string_view(value.c_str()).size()); // up to the first NUL
        if (key.real) {
            const auto v = numtext::ParseDouble(value);
            s.*key.real = v ? *v : defaults.*key.real;
        } else {
            const auto v = numtext::ParseWhole(value);
            s.*key.whole = v && *v >= key.min && *v <= key.max ? *v : defaults.*key.whole;
            // An amount of 1.5 would be shown as 2mol.
            if (key.whole == &SystemSettings::mol)
                if (const auto d = numtext::ParseDouble(value); d && *d != std::floor(*d)) {
                    s.mol = defaults.mol;
                    faults |= kFaultMol;
                }
        }
    }
    return faults | ReplaceFaultySettings(s);
}

std::string SaveSystemSettingsToText(const SystemSettings& s, std::string text)
{
    for (const Key& key : kKeys) {
        std::string value = key.real ? numtext::FormatGeneral(s.*key.real)
                                     : numtext::FormatWhole(s.*key.whole);
        if (value.size() < kValueWidth) value.resize(kValueWidth, ' ');
        profile::WriteString(text, kSection, key.name, value);
    }
    return text;
}

} // namespace mdlSystem
