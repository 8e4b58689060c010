#include "core/graph/mdlGrph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "core/model/NumText.h"

namespace mdlGrph {

namespace {

std::int32_t Saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool MapX(const SystemSettings& s, std::int64_t temperature, std::int32_t& x)
{
    x = 0;
    const std::int64_t range = std::int64_t{s.grphWMax} - s.grphWMin;
    if (range == 0) return false;
    const double scaled = kAxisWidth / static_cast<double>(range)
        * static_cast<double>(temperature - s.grphWMin);
    x = numtext::ToWholeSaturated(scaled);
    return true;
}

// Pixel x of a temperature grid line, or nothing.
bool PixelX(const SystemSettings& s, std::int64_t t, std::int32_t& px)
{
    std::int32_t x, py;
    if (!MapX(s, t, x)) return false;
    GrphPixel(x, 0, px, py);
    return true;
}

bool PixelY(const SystemSettings& s, double p, std::int32_t& py)
{
    std::int32_t y, px;
    if (!GrphScaleY(s, p, y)) return false;
    GrphPixel(0, y, px, py);
    return true;
}

// Pixel bands in which a grid line or its label can show.
constexpr std::int32_t kFirstColumn = 5 - kMaxLabelWidth;   // label starts 5 px left of its line
constexpr std::int32_t kLastColumn = kPanelWidth + 5 - 1;
constexpr std::int32_t kFirstRow = 10 - kMaxLabelHeight;    // label starts 10 px above its line
constexpr std::int32_t kLastRow = kPanelHeight + 10 - 1;

} // namespace

bool GrphScaleX(const SystemSettings& s, std::int32_t temperature, std::int32_t& x)
{
    return MapX(s, temperature, x);
}

bool GrphScaleY(const SystemSettings& s, double pressure, std::int32_t& y)
{
    y = 0;
    const double range = s.grphHMax - s.grphHMin;
    if (range == 0 || std::isnan(range)) return false;
    const double scaled = kAxisHeight / range * (pressure - s.grphHMin);
    if (std::isnan(scaled)) return false;
    y = numtext::ToWholeSaturated(scaled);
    return true;
}

bool GrphScale(const SystemSettings& s, std::int32_t temperature, double pressure,
               std::int32_t& x, std::int32_t& y)
{
    const bool mappedX = GrphScaleX(s, temperature, x);
    const bool mappedY = GrphScaleY(s, pressure, y);
    return mappedX && mappedY;
}

void GrphPixel(std::int32_t x, std::int32_t y, std::int32_t& px, std::int32_t& py)
{
    px = Saturate(std::int64_t{x} + kFrameLeft);
    py = Saturate(std::int64_t{kFrameBottom} - y);
}

void TemperatureGrid(const SystemSettings& s, const TemperatureLine& line)
{
    if (!(s.grphWMin < s.grphWMax)) return; // equal ends cannot map
    const std::int64_t first = s.grphWMin;
    const std::int64_t count = (std::int64_t{s.grphWMax} - first) / 10 + 1; // lines in range
    const auto value = [&](std::int64_t k) { return first + 10 * k; };
    // Smallest k' > k whose column is at least target, or count when there is none.
    const auto nextFrom = [&](std::int64_t k, std::int32_t target) {
        std::int64_t lo = k, hi = count; // column(lo) < target; hi: past the end or ≥ target
        while (hi - lo > 1) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            std::int32_t px;
            if (PixelX(s, value(mid), px) && px >= target) hi = mid; else lo = mid;
        }
        return hi;
    };
    std::int64_t k = 0;
    std::int64_t lastPx = std::numeric_limits<std::int64_t>::min();
    while (k < count) {
        std::int32_t px;
        if (!PixelX(s, value(k), px) || px > kLastColumn) break; // columns only grow
        if (px < kFirstColumn) {
            k = nextFrom(k, kFirstColumn);
            continue;
        }
        if (px == lastPx) {
            k = nextFrom(k, px + 1);
            continue;
        }
        line(px, static_cast<std::int32_t>(value(k)));
        lastPx = px;
        ++k;
    }
}

void PressureGrid(const SystemSettings& s, const PressureLine& line)
{
    const double step = s.pressureUnit == 1 ? 0.1 : 100;
    const double first = s.grphHMin;
    if (!(s.grphHMin < s.grphHMax)) return;
    // Each value is formed from the start in one step rather than by repeated addition, so
    // labels read 0.1, 0.2, 0.3 …; the top line counts when it misses the end by rounding.
    const double last = s.grphHMax + step * 1e-9;
    const auto value = [&](double k) { return first + k * step; };
    // true once past the end, or at a row at or above target.
    const auto reached = [&](double k, std::int32_t target) {
        const double p = value(k);
        std::int32_t py;
        return !(p <= last) || !PixelY(s, p, py) || py <= target;
    };
    // Smallest whole k' > k that has reached target, or nothing. k itself has not.
    const auto nextFrom = [&](double k, std::int32_t target, double& next) {
        double lo = k, hi = k, gap = 1;
        for (;;) { // gallop: far ranges need thousands of doublings at most
            hi = k + gap;
            if (!std::isfinite(hi)) return false;
            if (hi > lo) {
                if (reached(hi, target)) break;
                lo = hi;
            }
            gap *= 2;
        }
        while (hi - lo > 1) {
            const double mid = std::floor(lo + (hi - lo) / 2);
            if (!(mid > lo && mid < hi)) break;
            if (reached(mid, target)) hi = mid; else lo = mid;
        }
        next = hi;
        return true;
    };
    double k = 0;
    std::int64_t lastPy = std::numeric_limits<std::int64_t>::max();
    for (;;) {
        const double p = value(k);
        if (!(p <= last)) break;
        std::int32_t py;
        if (!PixelY(s, p, py) || py < kFirstRow) break; // rows only rise
        if (py > kLastRow || py == lastPy) {
            const std::int32_t target = py > kLastRow ? kLastRow : py - 1;
            if (!nextFrom(k, target, k)) break;
            continue;
        }
        line(py, p);
        lastPy = py;
        if (k + 1 > k)
            k += 1;
        else if (!nextFrom(k, py - 1, k))
            break;
    }
}

namespace {

struct Candidate {
    std::int64_t index; // the line's place on its axis, from the first line
    GridLabel label;
};

// One axis's lines: those whose labels sit at their lines, and the first and last lines
// shown, with their labels moved far inside in case the axis would otherwise say too little.
struct Axis {
    std::vector<Candidate> candidates;
    std::int64_t firstLine = std::numeric_limits<std::int64_t>::max();
    std::int64_t lastLine = std::numeric_limits<std::int64_t>::max();
    std::optional<GridLabel> firstFar, lastFar;

    void Add(std::int64_t index, GridLabel label, bool far)
    {
        const bool first = firstLine == std::numeric_limits<std::int64_t>::max();
        if (first) firstLine = index;
        lastLine = index; // lines come in increasing value
        if (label.ink.Empty()) return;
        if (!far) {
            candidates.push_back({index, std::move(label)});
            lastFar.reset();
        } else {
            if (first) firstFar = label;
            lastFar = std::move(label);
        }
    }
};

InkBox Shifted(const InkBox& b, std::int64_t dx, std::int64_t dy)
{
    return {Saturate(b.left + dx), Saturate(b.top + dy), Saturate(b.right + dx),
            Saturate(b.bottom + dy)};
}

// Moves a label along both axes until its ink lies inside bounds; false when it had to move
// by more than half its ink, so that it no longer reads as its line's.
bool KeepInside(GridLabel& l, const InkBox& bounds)
{
    std::int64_t dx = 0, dy = 0;
    if (l.ink.right > bounds.right) dx = std::int64_t{bounds.right} - l.ink.right;
    if (l.ink.left + dx < bounds.left) dx = std::int64_t{bounds.left} - l.ink.left;
    if (l.ink.bottom > bounds.bottom) dy = std::int64_t{bounds.bottom} - l.ink.bottom;
    if (l.ink.top + dy < bounds.top) dy = std::int64_t{bounds.top} - l.ink.top;
    const std::int64_t width = std::int64_t{l.ink.right} - l.ink.left;
    const std::int64_t height = std::int64_t{l.ink.bottom} - l.ink.top;
    l.x = Saturate(l.x + dx);
    l.y = Saturate(l.y + dy);
    l.ink = Shifted(l.ink, dx, dy);
    return 2 * std::abs(dx) <= width && 2 * std::abs(dy) <= height;
}

std::int64_t FloorMod(std::int64_t a, std::int64_t m)
{
    const std::int64_t r = a % m;
    return r < 0 ? r + m : r;
}

// The first and last lines of an axis are labelled too where their labels keep gap from
// every label placed, so a reader sees where the axis ends. A label moved far from its
// line is taken only when the axis would otherwise carry fewer than two, and no scale.
void AddEnds(const Axis& axis, std::size_t axisStart, std::int32_t gap, std::vector<GridLabel>& out)
{
    const auto fits = [&](const GridLabel& l) {
        for (const GridLabel& o : out)
            if (o.text == l.text && o.x == l.x && o.y == l.y) return false; // already there
        for (const GridLabel& o : out)
            if (InkTouches(o.ink, l.ink, gap)) return false;
        return true;
    };
    const auto& all = axis.candidates;
    if (!all.empty() && all.front().index == axis.firstLine && fits(all.front().label))
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(axisStart), all.front().label);
    if (all.size() > 1 && all.back().index == axis.lastLine && fits(all.back().label))
        out.push_back(all.back().label);
    if (out.size() - axisStart < 2 && axis.lastFar && fits(*axis.lastFar)) out.push_back(*axis.lastFar);
    if (out.size() - axisStart < 2 && axis.firstFar && fits(*axis.firstFar))
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(axisStart), *axis.firstFar);
}

// The labels of one axis: the first stride of 1, 2, 5, 10, 20, 50 … whose labels, counted
// from the line at zeroIndex, keep gap from each other and from those already placed.
void Thin(const Axis& axis, std::int64_t zeroIndex, std::int32_t gap, std::vector<GridLabel>& out)
{
    const auto& all = axis.candidates;
    const std::size_t placed = out.size();
    if (all.empty()) {
        AddEnds(axis, placed, gap, out);
        return;
    }
    const std::int64_t span = all.back().index - all.front().index + 1;
    static constexpr std::int64_t kSteps[3] = {1, 2, 5};
    for (std::int64_t decade = 1;; decade *= 10) {
        for (const std::int64_t step : kSteps) {
            const std::int64_t stride = step * decade;
            std::vector<GridLabel> chosen;
            bool fits = true;
            for (const Candidate& c : all) {
                if (FloorMod(c.index - zeroIndex, stride) != 0) continue;
                for (std::size_t i = 0; fits && i < placed; ++i)
                    fits = !InkTouches(out[i].ink, c.label.ink, gap);
                if (fits && !chosen.empty()) fits = !InkTouches(chosen.back().ink, c.label.ink, gap);
                if (!fits) break;
                chosen.push_back(c.label);
            }
            // Past the axis's length one label at most is left: take what fits of it.
            if (fits || stride > span) {
                if (fits) out.insert(out.end(), chosen.begin(), chosen.end());
                AddEnds(axis, placed, gap, out);
                return;
            }
        }
    }
}

} // namespace

bool InkTouches(const InkBox& a, const InkBox& b, std::int32_t gap)
{
    if (a.Empty() || b.Empty()) return false;
    const std::int64_t g = std::max(gap, 1);
    return a.left < b.right + g && b.left < a.right + g && a.top < b.bottom + g
        && b.top < a.bottom + g;
}

std::vector<GridLabel> GridLabels(const SystemSettings& s, const LabelFrame& frame,
                                  const MeasureInk& measure)
{
    std::vector<GridLabel> out;
    if (!measure) return out;
    const std::int64_t k = std::max(frame.scale, 1);
    const auto make = [&](bool temperature, std::string text, std::int64_t line) {
        GridLabel l;
        l.temperature = temperature;
        l.text = std::move(text);
        const InkBox ink = measure(l.text);
        std::int64_t x, y;
        const std::int64_t mid = line * k + (k - 1) / 2; // middle of the line's pixels
        if (temperature) {
            x = frame.centred ? mid - (std::int64_t{ink.left} + ink.right) / 2 : (line - 5) * k;
            y = frame.centred ? (kFrameBottom + 1) * k + frame.gap - ink.top : 325 * k;
        } else {
            x = frame.centred ? -std::int64_t{ink.left} : 0;
            // Above its line; a font taller than the panel's own keeps its ink off the line.
            y = frame.centred ? mid - (std::int64_t{ink.top} + ink.bottom) / 2
                              : (line - std::max<std::int64_t>(10, std::int64_t{ink.bottom} + 1)) * k;
        }
        l.x = Saturate(frame.originX + x);
        l.y = Saturate(frame.originY + y);
        l.ink = Shifted(ink, l.x, l.y);
        const bool far = !KeepInside(l, frame.bounds);
        return std::pair{std::move(l), far};
    };

    Axis pressures;
    const double step = s.pressureUnit == 1 ? 0.1 : 100;
    PressureGrid(s, [&](std::int32_t py, double p) {
        if (py < 0 || py >= kPanelHeight) return;
        const double index = std::round((p - s.grphHMin) / step);
        if (!(std::fabs(index) < 1e15)) return;
        auto [label, far] = make(false, numtext::FormatGeneral(p), py);
        pressures.Add(static_cast<std::int64_t>(index), std::move(label), far);
    });
    Axis temperatures;
    TemperatureGrid(s, [&](std::int32_t px, std::int32_t t) {
        if (px < 0 || px > kPanelWidth) return;
        auto [label, far] = make(true, numtext::FormatWhole(t), px);
        temperatures.Add((std::int64_t{t} - s.grphWMin) / 10, std::move(label), far);
    });

    // 0 is a line of an axis when the axis reaches it in whole steps from its start.
    std::int64_t zeroT = 0;
    if (s.grphWMin <= 0 && s.grphWMax >= 0 && s.grphWMin % 10 == 0) zeroT = -std::int64_t{s.grphWMin} / 10;
    std::int64_t zeroP = 0;
    const double fromZero = -s.grphHMin / step;
    if (s.grphHMin <= 0 && s.grphHMax >= 0 && std::fabs(fromZero - std::round(fromZero)) < 1e-6
        && fromZero < 1e15)
        zeroP = static_cast<std::int64_t>(std::round(fromZero));

    // Pressures first: the temperature labels of the corner make way for them.
    Thin(pressures, zeroP, frame.gap, out);
    const auto nP = static_cast<std::ptrdiff_t>(out.size());
    Thin(temperatures, zeroT, frame.gap, out);
    // Temperatures first in the answer, as the panel draws them.
    std::rotate(out.begin(), out.begin() + nP, out.end());
    return out;
}

} // namespace mdlGrph

namespace mdlGrph {

PlottedPoint MakePoint(const SystemSettings& s, std::int32_t liquid, std::int32_t temperature,
                       double pressure, std::string_view readout, bool mapped, std::int32_t px,
                       std::int32_t py, bool dataBook, std::optional<std::string_view> typed)
{
    PlottedPoint point;
    point.liquid = liquid;
    point.temperature = temperature;
    point.temperatureUnit = s.temperatureUnit;
    point.pressure = pressure;
    point.pressureText = readout.empty() ? numtext::FormatGeneral(pressure) : std::string(readout);
    point.pressureUnit = s.pressureUnit;
    point.mapped = mapped;
    point.px = px;
    point.py = py;
    point.mol = s.mol;
    point.container = s.container;
    point.dataBook = dataBook;
    point.typed = typed.has_value();
    if (typed) point.typedText = std::string(*typed);
    return point;
}

bool TypedThrough(const PlottedPoint& earlier, const PlottedPoint& later)
{
    return earlier.typed && later.typed && earlier.liquid == later.liquid
        && earlier.temperatureUnit == later.temperatureUnit
        && earlier.pressureUnit == later.pressureUnit && !earlier.typedText.empty()
        && later.typedText.size() > earlier.typedText.size()
        && later.typedText.compare(0, earlier.typedText.size(), earlier.typedText) == 0;
}

void PlotRecord::Add(const PlottedPoint& point)
{
    if (!points_.empty()) {
        PlottedPoint& previous = points_[(oldest_ + points_.size() - 1) % points_.size()];
        if (TypedThrough(previous, point)) previous.typedThrough = true;
    }
    ++total_;
    if (points_.size() < kMaxPoints) {
        points_.push_back(point);
        return;
    }
    points_[oldest_] = point; // reuses the slot's text buffer
    oldest_ = (oldest_ + 1) % kMaxPoints;
}

void PlotRecord::Clear()
{
    points_.clear();
    oldest_ = 0;
    total_ = 0;
}

const PlottedPoint& PlotRecord::At(std::size_t i) const
{
    return points_[(oldest_ + i) % points_.size()];
}

namespace {

int LiquidSlot(std::int32_t liquid) { return liquid == 0 ? 0 : liquid == 1 ? 1 : 2; }

bool SameRun(const LegendEntry& e, const PlottedPoint& p)
{
    return e.liquid == LiquidSlot(p.liquid) && e.mol == p.mol
        && (e.container == p.container || (std::isnan(e.container) && std::isnan(p.container)))
        && e.dataBook == p.dataBook;
}

} // namespace

std::vector<LegendEntry> LegendEntries(const PlotRecord& record, i18n::Lang lang)
{
    std::vector<LegendEntry> runs; // in the order first measured
    for (std::size_t i = 0; i < record.Size(); ++i) {
        if (!record.Exported(i)) continue;
        const PlottedPoint& p = record.At(i);
        bool known = false;
        for (const LegendEntry& e : runs) known = known || SameRun(e, p);
        if (known) continue;
        LegendEntry e;
        e.liquid = LiquidSlot(p.liquid);
        e.mol = p.mol;
        e.container = p.container;
        e.dataBook = p.dataBook;
        runs.push_back(e);
    }
    std::vector<LegendEntry> legend;
    for (int liquid = 0; liquid < 3; ++liquid) {
        // Amounts are named where this liquid's runs differ in them.
        const LegendEntry* first = nullptr;
        bool amountsDiffer = false;
        for (const LegendEntry& e : runs) {
            if (e.liquid != liquid) continue;
            if (!first) first = &e;
            else if (e.mol != first->mol || !(e.container == first->container)) amountsDiffer = true;
        }
        int shape = 0;
        for (LegendEntry e : runs) {
            if (e.liquid != liquid) continue;
            e.shape = shape++ % kMarkerShapes;
            e.text = std::string(LiquidName(liquid, lang));
            std::string detail;
            if (amountsDiffer)
                detail = numtext::FormatWhole(e.mol) + " mol, " + numtext::FormatGeneral(e.container) + " L";
            if (e.dataBook) detail += (detail.empty() ? "" : ", ") + std::string(ValuesName(true, lang));
            if (!detail.empty()) e.text += " (" + detail + ")";
            legend.push_back(std::move(e));
        }
    }
    return legend;
}

int MarkerShape(const std::vector<LegendEntry>& legend, const PlottedPoint& point)
{
    for (const LegendEntry& e : legend)
        if (SameRun(e, point)) return e.shape;
    return 0;
}

std::string_view NewestPointText(i18n::Lang lang) { return i18n::Text(lang, "graph.legend.newest"); }

std::string_view ValuesName(bool dataBook, i18n::Lang lang)
{
    return i18n::Text(lang, dataBook ? "values.databook" : "values.standard");
}

std::string_view LiquidName(std::int32_t liquid, i18n::Lang lang)
{
    switch (liquid) {
    case 0: return i18n::Text(lang, "liquid.water");
    case 1: return i18n::Text(lang, "liquid.ethanol");
    default: return i18n::Text(lang, "liquid.ether");
    }
}

std::string_view TemperatureUnitName(std::int32_t temperatureUnit, i18n::Lang lang)
{
    return i18n::Text(lang, temperatureUnit == 1 ? "unit.kelvin" : "unit.celsius");
}

std::string_view PressureUnitName(std::int32_t pressureUnit, i18n::Lang lang)
{
    return i18n::Text(lang, pressureUnit == 0 ? "unit.mmhg" : pressureUnit == 1 ? "unit.atm" : "unit.hpa");
}

std::string TemperatureAxisTitle(std::int32_t temperatureUnit, i18n::Lang lang)
{
    return i18n::Format(lang, "graph.axis.temperature", {TemperatureUnitName(temperatureUnit, lang)});
}

std::string PressureAxisTitle(std::int32_t pressureUnit, i18n::Lang lang)
{
    return i18n::Format(lang, "graph.axis.pressure", {PressureUnitName(pressureUnit, lang)});
}

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string PointsCsv(const PlotRecord& record, i18n::Lang lang)
{
    std::string csv = "\xEF\xBB\xBF";
    bool first = true;
    for (const char* column : {"csv.number", "csv.liquid", "csv.temperature", "csv.temperature_unit", "csv.pressure",
                               "csv.pressure_unit", "csv.values"}) {
        if (!first) csv += ',';
        first = false;
        csv += CsvField(i18n::Text(lang, column));
    }
    csv += "\r\n";
    // Looked up once, not once a row: a long ramp's table has 100,000 rows.
    const std::string liquids[] = {CsvField(LiquidName(0, lang)), CsvField(LiquidName(1, lang)),
                                   CsvField(LiquidName(2, lang))};
    const std::string values[] = {CsvField(ValuesName(false, lang)), CsvField(ValuesName(true, lang))};
    const std::string_view temperatureUnits[] = {TemperatureUnitName(0, lang), TemperatureUnitName(1, lang)};
    const std::string_view pressureUnits[] = {PressureUnitName(0, lang), PressureUnitName(1, lang),
                                              PressureUnitName(2, lang)};
    csv.reserve(csv.size() + record.Size() * 48);
    for (std::size_t i = 0; i < record.Size(); ++i) {
        if (!record.Exported(i)) continue;
        const PlottedPoint& p = record.At(i);
        csv += CsvField(numtext::FormatWhole(static_cast<std::int64_t>(record.NumberOf(i))));
        csv += ',';
        csv += liquids[p.liquid == 0 ? 0 : p.liquid == 1 ? 1 : 2];
        csv += ',';
        csv += CsvField(numtext::FormatWhole(p.temperature));
        csv += ',';
        csv += CsvField(temperatureUnits[p.temperatureUnit == 1 ? 1 : 0]);
        csv += ',';
        csv += CsvField(p.pressureText);
        csv += ',';
        csv += CsvField(pressureUnits[p.pressureUnit == 0 ? 0 : p.pressureUnit == 1 ? 1 : 2]);
        csv += ',';
        csv += values[p.dataBook ? 1 : 0];
        csv += "\r\n";
    }
    return csv;
}

} // namespace mdlGrph
