#pragma once
// What the main screen computes, apart from its widgets: the readout for a temperature,
// the pace of the animation, and what a scenario step does to the shared state.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/AppState.h"
#include "core/i18n/Catalogue.h"
#include "core/model/mdlData.h"
#include "core/scenario/SinarioRecord.h"
#include "core/settings/SystemSettings.h"

namespace simulation {

// The temperature box's text as the real number it holds and its whole value (halves to
// even); full-width digits and signs from an input method count as ASCII. Nothing for empty text, text that is no number, or a whole value beyond 32 bits:
// such text changes nothing anywhere.
struct Temperature {
    double real = 0;
    std::int32_t whole = 0;
};
std::optional<Temperature> ReadTemperature(std::string_view text);
// The same, and nothing also for a temperature below absolute zero in the unit shown
// (temperatureUnit 0 ℃, 1 K), or written with an exponent ("1e3": a box that cuts "1e308"
// short would read it as 1000).
std::optional<Temperature> ReadShownTemperature(std::string_view text, std::int32_t temperatureUnit);
// The whole temperature shown in one unit, in the other: 100 ℃ is 373 K.
std::int64_t ConvertWhole(std::int32_t whole, std::int32_t fromUnit, std::int32_t toUnit);

// ℃ from a value shown in the unit of temperatureUnit (K - 273).
double CelsiusOf(double shown, std::int32_t temperatureUnit);

// The shown pressure: the smaller of vapour and whole-amount gas pressure (equal gives the
// vapour pressure), in the unit of pressureUnit, and its readout text.
struct Readout {
    double pressure = 0;
    std::string text;
};
Readout ComputeReadout(const mdlData::VaporTable& table, std::int32_t liquid,
                       const SystemSettings& s, std::int32_t temperature);
std::string FormatPressure(double pressure, std::int32_t pressureUnit);

// Whether showing the whole temperature re-forms the field as a solid: at or below the
// liquid's freezing point.
bool FreezesField(const AppState& st, const SystemSettings& s, std::int32_t whole);

// Ticks to skip after a frame, from the real temperature in ℃.
std::int16_t FrameWaitFor(double celsius, std::int32_t fullVaporTemp, std::int32_t freezeTemp);

// Refreshes the copies of the full-evaporation and freezing temperatures for curLiquid.
void RefreshLiquidTemps(AppState& st, const mdlData::VaporTable& table, const SystemSettings& s);

// The temperatures a ramp may show, in the unit shown: the spinner's and the graph's
// ranges together, so a ramp to a far target from a file ends at the last visible value.
struct RampRange {
    std::int32_t lo, hi;
};
RampRange RampRangeFor(const SystemSettings& s, std::int32_t spinMin, std::int32_t spinMax);

// The ramp's next shown temperature. The ramp turns off when it reaches its target, when the
// temperature shown already stands at or past it (typed there while ramping: running on
// from there would never meet the target), or at the end of the range.
std::optional<std::int32_t> NextRampTemperature(AppState& st, std::int32_t shown, RampRange range);

// The texts of the unit labels (lblTmp, lblPress) and the amount labels (lblMol, lblVal)
// for the settings; whatever sets the settings shows these with them.
struct UnitLabels {
    std::string temperature, pressure, mol, container;
};
UnitLabels UnitLabelsFor(const SystemSettings& s, i18n::Lang lang = i18n::Lang::Ja);
// What the screen says while the data-book values are in use (lblDataBook).
inline constexpr std::string_view kDataBookMark = "文献値で計算中";
std::string_view DataBookMark(i18n::Lang lang = i18n::Lang::Ja);

// A scenario was loaded (editor or sample lesson): playback that is on starts it from its
// first step, not from the number the previous scenario had reached; its ramp stops.
void RestartPlaybackOnLoad(AppState& st);

// What the window must do after a scenario step has changed the shared state.
// SettingsChanged: an initial-settings step set new units and amounts; the labels and the
// readout are to show them now (the animation's two temperatures are already refreshed).
struct StepEffect {
    enum Kind { None, SetTemperature, GraphOn, GraphOff, GraphClear, SelectLiquid, SettingsChanged } kind = None;
    // SetTemperature: the text to show; SelectLiquid: item or -1; SettingsChanged: the
    // mdlSystem::SettingsFault bits of the step's values that gave way to the defaults.
    std::int32_t value = 0;
};

// Runs the step at sinarioPos on the shared state and moves on. shown is the whole
// temperature in the box, if it holds one.
StepEffect RunSinarioStep(AppState& st, const mdlSinario::SinarioData& sinario,
                          SystemSettings& s, const mdlData::VaporTable& table,
                          std::optional<std::int32_t> shown);

// Playback keys: Down, Enter, Space.
bool IsPlaybackKey(int keyCode);

} // namespace simulation
