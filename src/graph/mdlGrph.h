#pragma once
// Mapping of (temperature, pressure) to the 315 × 334 graph panel, and the grid lines that
// can show on it. Axis ranges come from the settings at each call; nothing is converted
// between units.
#include <cstdint>
#include <functional>

#include "settings/SystemSettings.h"

namespace mdlGrph {

constexpr int kPanelWidth = 315;
constexpr int kPanelHeight = 334;
// Graph units run 0..300 along the temperature axis and 0..320 up the pressure axis; the
// plot frame starts at pixel x 15 and pixel y 320.
constexpr int kAxisWidth = 300;
constexpr int kAxisHeight = 320;
constexpr int kFrameLeft = 15;
constexpr int kFrameBottom = 320;

// Graph units of one axis, halves to even, saturating at the 32-bit limits. False when the
// axis cannot map (equal ends, or a value too far out to compute); the output is then 0.
bool GrphScaleX(const SystemSettings& s, std::int32_t temperature, std::int32_t& x);
bool GrphScaleY(const SystemSettings& s, double pressure, std::int32_t& y);
// Both axes; false when either cannot map.
bool GrphScale(const SystemSettings& s, std::int32_t temperature, double pressure,
               std::int32_t& x, std::int32_t& y);

// Pixel position in the panel of a point in graph units, saturating.
void GrphPixel(std::int32_t x, std::int32_t y, std::int32_t& px, std::int32_t& py);

// The grid: a line every 10 degrees from grphWMin up to grphWMax, and every 0.1 (atm) or
// 100 (mmHg, hPa) from grphHMin up to grphHMax. Only lines whose line or label can show on
// the panel are visited, at most one per pixel column or row (the first value that lands
// there), in increasing value; so any range ends promptly.
using TemperatureLine = std::function<void(std::int32_t px, std::int32_t temperature)>;
using PressureLine = std::function<void(std::int32_t py, double pressure)>;
void TemperatureGrid(const SystemSettings& s, const TemperatureLine& line);
void PressureGrid(const SystemSettings& s, const PressureLine& line);

// Widest and tallest label text the panel can show, in pixels, for deciding which lines
// lie wholly off the panel.
constexpr int kMaxLabelWidth = 160;
constexpr int kMaxLabelHeight = 40;

} // namespace mdlGrph
