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
    {kFaultMol, "物質量（mol）には 1 以上の整数を入れてください。",
     "物質量（1 以上の整数）→ 1mol"},
    {kFaultContainer, "容器の体積（L）には 0 より大きい数を入れてください。",
     "容器の体積（0 より大きい数）→ 30 L"},
    {kFaultTempRange, "グラフの温度範囲は、左の下限を右の上限より小さくしてください。",
     "グラフの温度範囲（下限 < 上限）→ -50～150"},
    {kFaultPressRange, "グラフの圧力範囲は、左の下限を右の上限より小さくしてください。",
     "グラフの圧力範囲（下限 < 上限）→ 0～800"},
};

} // namespace

std::string FaultSentence(unsigned faults)
{
    for (const Said& s : kSaid)
        if (faults & s.fault) return s.refused;
    return {};
}

std::string FaultText(unsigned faults)
{
    return faults == 0 ? std::string() : FaultSentence(faults) + "\n設定は保存していません。";
}

std::string ReplacedNotice(unsigned faults, std::string_view source)
{
    if (faults == 0) return {};
    std::string text(source);
    text += "の次の値は使えないため、初期値にしました。";
    for (const Said& s : kSaid)
        if (faults & s.fault) text.append("\n・").append(s.replaced);
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
