#pragma once
// Mapping of (temperature, pressure) to the 315 × 334 graph panel, the grid lines that
// can show on it, and the record of the points plotted on it. Axis ranges come from the
// settings at each call; nothing is converted between units.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/i18n/Catalogue.h"
#include "core/settings/SystemSettings.h"

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

// ---- Which grid lines carry a label. The grid keeps every line; where the labels of
// neighbouring lines would touch in the font in use, only every 2nd, 5th, 10th, 20th …
// line is labelled, always including 0 where it is a line of the axis, and the axis's
// first and last lines where their labels fit. A label near an edge is moved inside the
// area it may use by at most half its ink, so none is cut; one that would have to move
// further is left out rather than shown away from its line.

// A box in pixels, right and bottom exclusive; empty when it holds no pixel.
struct InkBox {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const InkBox&, const InkBox&) = default;
};
// The pixels a label's text inks, relative to the top-left corner of where it is printed
// (the text position of the panel). The face measures them in the font it draws with.
using MeasureInk = std::function<InkBox(std::string_view text)>;

// Where the labels go, for the panel or for a picture of it at a larger scale.
struct LabelFrame {
    std::int32_t scale = 1;                // pixels per panel pixel
    std::int32_t originX = 0, originY = 0; // where the panel's top-left pixel lies
    // false: the panel's places, temperature text at (px - 5, 325), pressure text at
    // (0, py - 10); true: each label's ink centred on its line, the temperature labels
    // just below the frame and the pressure labels from the left edge of the strip.
    bool centred = false;
    InkBox bounds{0, 0, kPanelWidth, kPanelHeight}; // every label's ink stays inside
    std::int32_t gap = 3; // blank pixels at least between two labels' ink
};

struct GridLabel {
    bool temperature = true; // false: a pressure label
    std::int32_t x = 0, y = 0; // text position
    std::string text;
    InkBox ink; // where its ink lies
};

// The labels for the grid of s, temperatures first, each axis in increasing value.
// Lines off the panel carry none.
std::vector<GridLabel> GridLabels(const SystemSettings& s, const LabelFrame& frame,
                                  const MeasureInk& measure);
// Whether two ink boxes come closer than gap blank pixels (gap 1: they touch).
bool InkTouches(const InkBox& a, const InkBox& b, std::int32_t gap);


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
    std::int32_t mol = 0;             // the amount and volume it was measured with
    double container = 0;
    bool dataBook = false;            // computed from the data-book values
    bool typed = false;               // from a keystroke in the temperature box
    std::string typedText;            // the box's text then, when typed
    bool typedThrough = false;        // passed through on the way to the next point typed
};

// The point as the record keeps it: where it was plotted, the readout's text (its general
// form when there is none), and the settings, liquid and values it was measured with.
PlottedPoint MakePoint(const SystemSettings& s, std::int32_t liquid, std::int32_t temperature,
                       double pressure, std::string_view readout, bool mapped, std::int32_t px,
                       std::int32_t py, bool dataBook, std::optional<std::string_view> typed);

// Whether a typed point was only passed through while typing the next one: the next point
// was typed too, for the same liquid in the same units, and its text extends this one's
// (2 → 20, 1 → 10 → 100, -1 → -10). A point set by the spinner, a ramp or a scenario
// step, or a text that was shortened or replaced, was meant.
bool TypedThrough(const PlottedPoint& earlier, const PlottedPoint& later);

// The most recent kMaxPoints points in plotting order. Once full, each new point takes
// the oldest one's slot, so a long ramp neither grows memory nor allocates per point.
class PlotRecord {
public:
    static constexpr std::size_t kMaxPoints = 100000;

    // Adds the newest point; the point before it is marked typed through when the rule
    // says so.
    void Add(const PlottedPoint& point);
    void Clear();
    // Whether the exports (table, picture, printout) hold the typed-through points too;
    // by default they leave them out. An erase keeps the choice.
    void SetIncludeTypedThrough(bool include) { includeTypedThrough_ = include; }
    bool IncludesTypedThrough() const { return includeTypedThrough_; }
    // Whether point i belongs in the exports.
    bool Exported(std::size_t i) const { return includeTypedThrough_ || !At(i).typedThrough; }
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
    bool includeTypedThrough_ = false;
};

// The legend of the exported points: one entry per run, a run being the points of one
// liquid at one amount, volume and kind of values. A liquid measured in more than one run
// names the amount and volume of each; data-book values are named as such. Entries come
// in the selector's order of the liquids, a liquid's runs in the order first measured.
// shape tells the runs of one liquid apart: 0 filled square, 1 hollow square, 2 plus,
// and so on round.
struct LegendEntry {
    std::int32_t liquid = 0; // 0, 1, or 2 for DiethylEther and anything else
    std::int32_t mol = 0;
    double container = 0;
    bool dataBook = false;
    int shape = 0;
    std::string text;
};
constexpr int kMarkerShapes = 3;
std::vector<LegendEntry> LegendEntries(const PlotRecord& record, i18n::Lang lang = i18n::Lang::Ja);
// The shape of the marker of the record's point i, as its legend entry shows it.
int MarkerShape(const std::vector<LegendEntry>& legend, const PlottedPoint& point);
// The legend's line for the newest point, drawn in red.
constexpr std::string_view kNewestPointText = "最新の点";
std::string_view NewestPointText(i18n::Lang lang = i18n::Lang::Ja);

// The liquid's name as the selector shows it; anything but Water and Ethanol is
// DiethylEther, as for the model.
std::string_view LiquidName(std::int32_t liquid, i18n::Lang lang = i18n::Lang::Ja);
// Unit names for the table and the picture's axis titles.
std::string_view TemperatureUnitName(std::int32_t temperatureUnit, i18n::Lang lang = i18n::Lang::Ja);
std::string_view PressureUnitName(std::int32_t pressureUnit, i18n::Lang lang = i18n::Lang::Ja);
// "温度 (℃)", "圧力 (mmHg)" … in the given units.
std::string TemperatureAxisTitle(std::int32_t temperatureUnit, i18n::Lang lang = i18n::Lang::Ja);
std::string PressureAxisTitle(std::int32_t pressureUnit, i18n::Lang lang = i18n::Lang::Ja);

// "標準" for the lesson's values, "文献値" for the data-book values.
std::string_view ValuesName(bool dataBook, i18n::Lang lang = i18n::Lang::Ja);

// One CSV field, quoted when it holds a comma, quote, CR or LF, quotes doubled.
std::string CsvField(std::string_view text);
// The table of the record for a spreadsheet: UTF-8 with a byte-order mark, CRLF line ends,
// the header 番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値 and one row per exported
// point, oldest first, numbered by its place in the run (a typed-through point left out
// leaves its number out); the last column says whether the lesson's values ("標準") or the
// data-book values ("文献値") gave its pressure. In another language the header, the
// liquids' and the values' names are its own; the numbers, units and columns stay.
std::string PointsCsv(const PlotRecord& record, i18n::Lang lang = i18n::Lang::Ja);

} // namespace mdlGrph
