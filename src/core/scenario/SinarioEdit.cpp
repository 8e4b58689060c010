#include "core/scenario/SinarioEdit.h"

#include <algorithm>
#include <cmath>

#include "core/model/NumText.h"
#include "core/settings/SettingsLimits.h"

namespace mdlSinario {

int StepsInUse(const SinarioData& d) { return std::clamp(d.stepCount, 0, kMaxSteps); }

std::string DescribeStep(const SinarioStep& step, std::int32_t temperatureUnit, i18n::Lang lang)
{
    const auto said = [lang](std::string_view key) { return std::string(i18n::Text(lang, key)); };
    switch (step.kind) {
    case StepInit: return said("step.init");
    case StepTemp: {
        // The unit as the main window labels it.
        const std::string value = numtext::FormatWhole(step.value) + " "
            + std::string(i18n::Text(lang, temperatureUnit == 0 ? "unit.celsius" : "unit.kelvin_wide"));
        return i18n::Format(lang, step.addTemp != 0 ? "step.temperature_ramp" : "step.temperature", {value});
    }
    case StepGrphOn: return said("step.graph_on");
    case StepGrphOff: return said("step.graph_off");
    case StepGrphCls: return said("step.graph_clear");
    case StepBussitu:
        if (step.value == 0) return said("step.liquid.water");
        if (step.value == 1) return said("step.liquid.ethanol");
        return said("step.liquid.ether");
    default: return {};
    }
}

std::int32_t TemperatureUnitAt(const SinarioData& d, int row, std::int32_t unitInUse)
{
    for (int n = std::min(row, StepsInUse(d)); n >= 1; --n)
        if (d.steps[static_cast<std::size_t>(n)].kind == StepInit) return d.steps[static_cast<std::size_t>(n)].temperatureUnit;
    return unitInUse;
}

TypedInit InitStepFromTexts(std::int32_t temperatureUnit, std::int32_t pressureUnit,
                            const std::array<std::string_view, 6>& boxes, i18n::Lang lang)
{
    const auto mol = numtext::ParseTypedWhole(boxes[0]);
    const auto container = numtext::ParseTypedDouble(boxes[1]);
    const auto wMin = numtext::ParseTypedWhole(boxes[2]);
    const auto wMax = numtext::ParseTypedWhole(boxes[3]);
    const auto hMin = numtext::ParseTypedWhole(boxes[4]);
    const auto hMax = numtext::ParseTypedWhole(boxes[5]);
    const bool read[] = {mol.has_value(),  container.has_value(), wMin.has_value(),
                         wMax.has_value(), hMin.has_value(),      hMax.has_value()};
    for (int n = 0; n < 6; ++n)
        if (!read[n]) return {std::nullopt, n, {}};
    SinarioStep step;
    step.kind = StepInit;
    step.temperatureUnit = temperatureUnit >= 0 && temperatureUnit < 2 ? temperatureUnit : 0;
    step.pressureUnit = pressureUnit >= 0 && pressureUnit < 3 ? pressureUnit : 0;
    step.grphWMin = *wMin;
    step.grphWMax = *wMax;
    step.grphHMin = *hMin;
    step.grphHMax = *hMax;
    step.container = *container;
    step.mol = *mol;
    // The limits the settings dialog holds to, or playback would put defaults in their place.
    SystemSettings s{};
    TakeInitStep(step, s);
    unsigned faults = mdlSystem::FindSettingsFaults(s);
    if (const auto m = numtext::ParseTypedDouble(boxes[0]); m && *m != std::floor(*m)) faults |= mdlSystem::kFaultMol;
    if (faults != 0) {
        const int box = faults & mdlSystem::kFaultMol ? 0 : faults & mdlSystem::kFaultContainer ? 1
                      : faults & mdlSystem::kFaultTempRange ? 2 : 4;
        return {std::nullopt, box,
                mdlSystem::FaultSentence(faults, lang) + "\n" + std::string(i18n::Text(lang, "fault.step_not_added"))};
    }
    return {step, -1, {}};
}

void TakeInitStep(const SinarioStep& step, SystemSettings& s)
{
    s.temperatureUnit = step.temperatureUnit;
    s.pressureUnit = step.pressureUnit;
    s.grphWMin = step.grphWMin;
    s.grphWMax = step.grphWMax;
    s.grphHMin = step.grphHMin;
    s.grphHMax = step.grphHMax;
    s.container = step.container;
    s.mol = step.mol;
}

bool InsertStep(SinarioData& d, int row, const SinarioStep& step)
{
    const int count = StepsInUse(d);
    if (count >= kMaxSteps) return false; // slot 51 does not exist
    int p = count + 1;
    if (count > 0 && row >= 0 && row < count) {
        p = row + 1;
        for (int i = count + 1; i >= p + 1; --i) d.steps[static_cast<std::size_t>(i)] = d.steps[static_cast<std::size_t>(i - 1)];
    }
    d.steps[static_cast<std::size_t>(p)] = step;
    d.stepCount = count + 1;
    return true;
}

bool DeleteStep(SinarioData& d, int row)
{
    const int count = StepsInUse(d);
    if (row < 0 || row >= count) return false;
    for (int i = row + 1; i <= count - 1; ++i) d.steps[static_cast<std::size_t>(i)] = d.steps[static_cast<std::size_t>(i + 1)];
    d.stepCount = count - 1;
    return true;
}

} // namespace mdlSinario
