#pragma once
// What the scenario editor does to the record, apart from its widgets: the line each step
// shows in the list, and adding and removing steps. No Qt, for both faces.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/scenario/SinarioRecord.h"
#include "core/settings/SystemSettings.h"

namespace mdlSinario {

// Steps in use: the step count kept within 0..50.
int StepsInUse(const SinarioData& d);

// The list's line of a step ("温度を 25 ℃ に設定します。"); empty for an unknown kind, which
// playback passes over too. A temperature reads in temperatureUnit (0 ℃, else Ｋ, as the
// main window labels it), and a ramp says so.
std::string DescribeStep(const SinarioStep& step, std::int32_t temperatureUnit, i18n::Lang lang = i18n::Lang::Ja);

// The unit the step of list row `row` reads its temperature in when playback reaches it:
// that of the last initial-settings step above it, else unitInUse.
std::int32_t TemperatureUnitAt(const SinarioData& d, int row, std::int32_t unitInUse);

// An initial-settings step from the editor's boxes, in tab order: amount (whole number),
// volume, temperature range and pressure range (whole numbers). Either the step, or the
// index of the first box that holds no number, or of a value the model cannot show (with
// the message naming it and its range). A unit beyond its list reads as the first.
struct TypedInit {
    std::optional<SinarioStep> step;
    int unreadBox = -1;
    std::string fault;
};
TypedInit InitStepFromTexts(std::int32_t temperatureUnit, std::int32_t pressureUnit,
                            const std::array<std::string_view, 6>& boxes, i18n::Lang lang = i18n::Lang::Ja);

// The settings an initial-settings step puts in force, as the step holds them.
void TakeInitStep(const SinarioStep& step, SystemSettings& s);

// Puts step before the step of list row `row` (0-based), or after the last one when row is
// no row in use. False, and nothing changed, when the scenario is full.
bool InsertStep(SinarioData& d, int row, const SinarioStep& step);
// Removes the step of list row `row`; false when row is no row in use.
bool DeleteStep(SinarioData& d, int row);

} // namespace mdlSinario
