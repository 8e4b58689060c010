#include "core/settings/SettingsLimits.h"

#include <cmath>

#include "core/model/NumText.h"
#include "core/settings/ProfileText.h"

namespace mdlSystem {

unsigned FindSettingsFaults(const SystemSettings& s)
{
    unsigned f = 0;
    if (s.mol < 1) f |= kFaultMol;
    // 0 mol would fly 555 molecules beside a readout of 0; a volume of 0 or less gives
    // negative or endless pressures.
    if (!(std::isfinite(s.container) && s.container > 0)) f |= kFaultContainer;
    if (!(s.grphWMin < s.grphWMax)) f |= kFaultTempRange;
    if (!(std::isfinite(s.grphHMin) && std::isfinite(s.grphHMax) && s.grphHMin < s.grphHMax))
        f |= kFaultPressRange;
    return f;
}

unsigned ReplaceFaultySettings(SystemSettings& s)
{
    const unsigned f = FindSettingsFaults(s);
    SystemSettings d{};
    InitSystemSettings(d);
    if (f & kFaultMol) s.mol = d.mol;
    if (f & kFaultContainer) s.container = d.container;
    if (f & kFaultTempRange) {
        s.grphWMin = d.grphWMin;
        s.grphWMax = d.grphWMax;
    }
    if (f & kFaultPressRange) {
        s.grphHMin = d.grphHMin;
        s.grphHMax = d.grphHMax;
    }
    return f;
}

namespace {

struct Said {
    unsigned fault;
    const char* refused; // the dialog's message
    const char* replaced; // in a notice's list
};
constexpr Said kSaid[] = {
    {kFaultMol, "fault.mol", "fault.replaced.mol"},
    {kFaultContainer, "fault.container", "fault.replaced.container"},
    {kFaultTempRange, "fault.temperature_range", "fault.replaced.temperature_range"},
    {kFaultPressRange, "fault.pressure_range", "fault.replaced.pressure_range"},
};

} // namespace

std::string FaultSentence(unsigned faults, i18n::Lang lang)
{
    for (const Said& s : kSaid)
        if (faults & s.fault) return std::string(i18n::Text(lang, s.refused));
    return {};
}

std::string FaultText(unsigned faults, i18n::Lang lang)
{
    if (faults == 0) return {};
    return FaultSentence(faults, lang) + "\n" + std::string(i18n::Text(lang, "fault.not_saved"));
}

std::string ReplacedNotice(unsigned faults, std::string_view source, i18n::Lang lang)
{
    if (faults == 0) return {};
    std::string text = i18n::Format(lang, "notice.replaced", {source});
    for (const Said& s : kSaid)
        if (faults & s.fault) text.append("\n").append(i18n::Format(lang, "notice.item", {i18n::Text(lang, s.replaced)}));
    return text;
}

TakenBoxes TakeSettingsBoxes(const SystemSettings& current, const SettingsBoxes& b)
{
    TakenBoxes out{current, 0};
    SystemSettings& s = out.settings;
    // The lists hold two and three units; a position outside them is the first.
    s.temperatureUnit = b.temperatureUnit >= 0 && b.temperatureUnit < 2 ? b.temperatureUnit : 0;
    s.pressureUnit = b.pressureUnit >= 0 && b.pressureUnit < 3 ? b.pressureUnit : 0;
    const auto whole = [](std::string_view text, std::int32_t& field) {
        if (const auto v = numtext::ParseTypedWhole(text)) field = *v;
    };
    const auto real = [](std::string_view text, double& field) {
        if (const auto v = numtext::ParseTypedDouble(text)) field = *v;
    };
    whole(b.grphWMin, s.grphWMin);
    whole(b.grphWMax, s.grphWMax);
    real(b.grphHMin, s.grphHMin);
    real(b.grphHMax, s.grphHMax);
    real(b.container, s.container);
    whole(b.mol, s.mol);
    out.faults = FindSettingsFaults(s);
    // 1.5 mol would be shown as 2mol: an amount must be typed whole.
    if (const auto m = numtext::ParseTypedDouble(b.mol); m && *m != std::floor(*m)) out.faults |= kFaultMol;
    return out;
}

} // namespace mdlSystem
