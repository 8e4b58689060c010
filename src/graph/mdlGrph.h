#pragma once
// Mapping of (temperature, pressure) to the 315 × 334 graph panel, the grid lines that
// can show on it, and the record of the points plotted on it. Axis ranges come from the
// settings at each call; nothing is converted between units.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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


// ---- The points plotted since the panel was last erased, for the report picture and the
// table. Only the panel's erase (GrphClear) forgets them.

struct PlottedPoint {
    std::int32_t liquid = 0;          // curLiquid when plotted; -1 counts as DiethylEther
    std::int32_t temperature = 0;     // whole number as shown
    std::int32_t temperatureUnit = 0; // 0 ℃, 1 K
    double pressure = 0;              // as plotted, unrounded, in pressureUnit
    std::string pressureText;         // the readout's text
    std::int32_t pressureUnit = 0;    // 0 mmHg, 1 atm, other hPa
    bool mapped = false;              // false: the axes could not place it (equal ends)
    std::int32_t px = 0;              // panel pixel of its box's top-left corner
    std::int32_t py = 0;
};

// The most recent kMaxPoints points in plotting order. Once full, each new point takes
// the oldest one's slot, so a long ramp neither grows memory nor allocates per point.
class PlotRecord {
public:
    static constexpr std::size_t kMaxPoints = 100000;

    void Add(const PlottedPoint& point);
    void Clear();
    std::size_t Size() const { return points_.size(); }
    bool Empty() const { return points_.empty(); }
    // i = 0 is the oldest point kept.
    const PlottedPoint& At(std::size_t i) const;
    const PlottedPoint& Newest() const { return At(Size() - 1); }
    // Its place in the run since the last erase, from 1; above i + 1 once old points
    // have been dropped, so a table shows that it does not start at the beginning.
    std::uint64_t NumberOf(std::size_t i) const { return total_ - Size() + 1 + i; }

private:
    std::vector<PlottedPoint> points_;
    std::size_t oldest_ = 0;  // slot of At(0) once the record is full
    std::uint64_t total_ = 0; // points added since the last Clear
};

// The liquid's name as the selector shows it; anything but Water and Ethanol is
// DiethylEther, as for the model.
std::string_view LiquidName(std::int32_t liquid);
// Unit names for the table and the picture's axis titles.
std::string_view TemperatureUnitName(std::int32_t temperatureUnit);
std::string_view PressureUnitName(std::int32_t pressureUnit);
// "温度 (℃)", "圧力 (mmHg)" … in the given units.
std::string TemperatureAxisTitle(std::int32_t temperatureUnit);
std::string PressureAxisTitle(std::int32_t pressureUnit);

// One CSV field, quoted when it holds a comma, quote, CR or LF, quotes doubled.
std::string CsvField(std::string_view text);
// The table of the record for a spreadsheet: UTF-8 with a byte-order mark, CRLF line ends,
// the header 番号,物質,温度,温度の単位,圧力,圧力の単位 and one row per point, oldest first.
std::string PointsCsv(const PlotRecord& record);

} // namespace mdlGrph
