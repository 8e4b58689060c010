#include "core/app/Simulation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/model/NumText.h"
#include "core/scenario/SinarioEdit.h"
#include "core/settings/SettingsLimits.h"

namespace simulation {

std::optional<Temperature> ReadTemperature(std::string_view text)
{
    const auto real = numtext::ParseTypedDouble(text);
    if (!real) return std::nullopt;
    const auto whole = numtext::ToWhole(*real);
    if (!whole) return std::nullopt;
    return Temperature{*real, *whole};
}

std::optional<Temperature> ReadShownTemperature(std::string_view text, std::int32_t temperatureUnit)
{
    if (text.find_first_of("eE") != std::string_view::npos) return std::nullopt;
    const auto t = ReadTemperature(text);
    if (!t) return std::nullopt;
    const double absoluteZero = temperatureUnit == 1 ? 0.0 : -273.0;
    if (t->whole < absoluteZero) return std::nullopt;
    return t;
}

std::int64_t ConvertWhole(std::int32_t whole, std::int32_t fromUnit, std::int32_t toUnit)
{
    const std::int64_t celsius = fromUnit == 1 ? std::int64_t{whole} - 273 : whole;
    return toUnit == 1 ? celsius + 273 : celsius;
}

double CelsiusOf(double shown, std::int32_t temperatureUnit)
{
    return temperatureUnit == 1 ? shown - 273.0 : shown;
}

std::string FormatPressure(double pressure, std::int32_t pressureUnit)
{
    const int decimals = pressureUnit == 0 ? 1 : (pressureUnit == 1 ? 3 : 0);
    return numtext::FormatFixed(pressure, decimals);
}

Readout ComputeReadout(const mdlData::VaporTable& table, std::int32_t liquid,
                       const SystemSettings& s, std::int32_t temperature)
{
    const double vp = mdlData::GetVaporPress(table, liquid, s, temperature);
    const double gp = mdlData::GetGasPress(s, temperature);
    const double p = vp > gp ? gp : vp;
    return Readout{p, FormatPressure(p, s.pressureUnit)};
}

std::int16_t FrameWaitFor(double celsius, std::int32_t fullVaporTemp, std::int32_t freezeTemp)
{
    const double span = (static_cast<double>(mdlData::AnimationTopTemp(fullVaporTemp)) - freezeTemp) / 15.0;
    std::int32_t r = 0;
    if (span != 0) r = numtext::ToWholeSaturated(celsius / span);
    const std::int32_t w = r < 0 ? 15 : (r > 15 ? 0 : 15 - r);
    return static_cast<std::int16_t>(numtext::ToWholeSaturated(w / 2.0 + 1));
}

bool FreezesField(const AppState& st, const SystemSettings& s, std::int32_t whole)
{
    return std::int64_t{whole} - (s.temperatureUnit == 1 ? 273 : 0) <= st.freezeTemp;
}

void RefreshLiquidTemps(AppState& st, const mdlData::VaporTable& table, const SystemSettings& s)
{
    st.fullVaporTemp = mdlData::GetFullVaporTemp(table, st.curLiquid, s);
    st.freezeTemp = mdlData::GetFreezeTemp(st.curLiquid);
}

RampRange RampRangeFor(const SystemSettings& s, std::int32_t spinMin, std::int32_t spinMax)
{
    return {std::min(spinMin, s.grphWMin), std::max(spinMax, s.grphWMax)};
}

std::optional<std::int32_t> NextRampTemperature(AppState& st, std::int32_t shown, RampRange range)
{
    const std::int64_t step = st.rampStep < 0 ? -1 : 1;
    const std::int64_t next = std::int64_t{shown} + step;
    const bool atOrPast = (std::int64_t{st.rampTarget} - shown) * step <= 0;
    if (atOrPast || next < range.lo || next > range.hi) {
        st.rampOn = 0;
        return std::nullopt;
    }
    if (next == st.rampTarget) st.rampOn = 0;
    return static_cast<std::int32_t>(next);
}

StepEffect RunSinarioStep(AppState& st, const mdlSinario::SinarioData& sinario,
                          SystemSettings& s, const mdlData::VaporTable& table,
                          std::optional<std::int32_t> shown)
{
    // A file may claim more steps than the record holds: never read past the last slot.
    const std::int32_t count = std::min(sinario.stepCount, std::int32_t{mdlSinario::kMaxSteps});
    if (st.sinarioPos < 1 || st.sinarioPos > count) return {};
    st.rampOn = 0;
    const mdlSinario::SinarioStep& step = sinario.steps[static_cast<std::size_t>(st.sinarioPos)];
    ++st.sinarioPos;

    StepEffect effect;
    switch (step.kind) {
    case mdlSinario::StepInit:
        mdlSinario::TakeInitStep(step, s);
        // A file's step may hold what no dialog lets through ("NaNﾘｯﾄﾙ").
        effect.value = static_cast<std::int32_t>(mdlSystem::ReplaceFaultySettings(s));
        RefreshLiquidTemps(st, table, s);
        effect.kind = StepEffect::SettingsChanged;
        break;
    case mdlSinario::StepTemp:
        if (step.addTemp == 0) {
            effect = {StepEffect::SetTemperature, step.value};
        } else if (shown && *shown != step.value) {
            st.rampOn = 1;
            st.rampStep = *shown < step.value ? 1 : -1;
            st.rampTarget = step.value;
        }
        break;
    case mdlSinario::StepGrphOn:
        st.grphVisible = 1;
        effect.kind = StepEffect::GraphOn;
        break;
    case mdlSinario::StepGrphOff:
        st.grphVisible = 0;
        effect.kind = StepEffect::GraphOff;
        break;
    case mdlSinario::StepGrphCls:
        effect.kind = StepEffect::GraphClear;
        break;
    case mdlSinario::StepBussitu:
        // Only the three liquids and the "none" of -1 exist; anything else from a file is "none".
        st.curLiquid = step.value >= -1 && step.value <= 2 ? step.value : -1;
        RefreshLiquidTemps(st, table, s);
        effect = {StepEffect::SelectLiquid, st.curLiquid};
        break;
    default:
        break;
    }
    return effect;
}

UnitLabels UnitLabelsFor(const SystemSettings& s, i18n::Lang lang)
{
    UnitLabels l;
    l.temperature = i18n::Text(lang, s.temperatureUnit == 0 ? "unit.celsius" : "unit.kelvin_wide");
    l.pressure = i18n::Text(lang, s.pressureUnit == 0 ? "unit.mmhg" : s.pressureUnit == 1 ? "unit.atm" : "unit.hpa");
    l.mol = i18n::Format(lang, "unit.mol_amount", {numtext::FormatWhole(s.mol)});
    l.container = i18n::Format(lang, "unit.litre_amount", {numtext::FormatGeneral(s.container)});
    return l;
}

std::string_view DataBookMark(i18n::Lang lang) { return i18n::Text(lang, "values.databook_in_use"); }

void RestartPlaybackOnLoad(AppState& st)
{
    if (st.sinarioRun == 0) return;
    st.sinarioPos = 1;
    st.rampOn = 0; // the previous scenario's ramp would plot on the new lesson's graph
}

bool IsPlaybackKey(int keyCode)
{
    return keyCode == 40 || keyCode == 13 || keyCode == 32;
}

} // namespace simulation
