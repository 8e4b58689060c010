#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/model/NumText.h"

using namespace mdlGrph;

namespace {

SystemSettings Defaults()
{
    SystemSettings s;
    s.container = 30; s.mol = 1;
    s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    return s;
}

struct Line { std::int32_t pixel; double value; };

std::vector<Line> Columns(const SystemSettings& s)
{
    std::vector<Line> lines;
    TemperatureGrid(s, [&](std::int32_t px, std::int32_t t) { lines.push_back({px, double(t)}); });
    return lines;
}

std::vector<Line> Rows(const SystemSettings& s)
{
    std::vector<Line> lines;
    PressureGrid(s, [&](std::int32_t py, double p) { lines.push_back({py, p}); });
    return lines;
}

// "0", "0.1", … "1", "1.1" for a whole number of tenths.
std::string Tenths(long long n)
{
    const std::string whole = std::to_string(n / 10);
    return n % 10 == 0 ? whole : whole + "." + std::to_string(n % 10);
}

std::pair<std::int32_t, std::int32_t> Pixel(const SystemSettings& s, std::int32_t t, double p)
{
    std::int32_t x, y, px, py;
    EXPECT_TRUE(GrphScale(s, t, p, x, y)) << t << " " << p;
    GrphPixel(x, y, px, py);
    return {px, py};
}

} // namespace

TEST(GraphMapping, MapsToTheDefaultFrameHalvesToEven)
{
    const SystemSettings s = Defaults();
    std::int32_t x, y;
    ASSERT_TRUE(GrphScale(s, 100, 760, x, y));
    EXPECT_EQ(x, 225);
    EXPECT_EQ(y, 304);
    EXPECT_EQ(Pixel(s, 100, 760), std::make_pair(240, 16));
    EXPECT_EQ(Pixel(s, -50, 0), std::make_pair(15, 320));
    EXPECT_EQ(Pixel(s, 150, 800), std::make_pair(315, 0));

    const struct { std::int32_t t, x; } halves[] = {{-49, 2}, {-47, 4}, {-45, 8}, {-43, 10}};
    for (const auto& h : halves) {
        ASSERT_TRUE(GrphScaleX(s, h.t, x));
        EXPECT_EQ(x, h.x) << h.t;
    }
    SystemSettings k = s;
    k.temperatureUnit = 1; // the axis keeps its numbers: 273 K lies far right
    EXPECT_EQ(Pixel(k, 273, 0).first, 15 + 484);
}

TEST(GraphMapping, FarValuesSaturateAndUnmappableValuesReportFailure)
{
    SystemSettings s = Defaults();
    std::int32_t x, y;
    EXPECT_TRUE(GrphScale(s, INT_MAX, 1e300, x, y));
    EXPECT_EQ(x, INT_MAX);
    EXPECT_EQ(y, INT_MAX);
    EXPECT_EQ(Pixel(s, INT_MAX, 1e300), std::make_pair(INT_MAX, 320 - INT_MAX));
    EXPECT_EQ(Pixel(s, INT_MIN, -1e300), std::make_pair(INT_MIN + 15, INT_MAX));
    EXPECT_FALSE(GrphScaleY(s, std::nan(""), y));
    EXPECT_TRUE(GrphScaleY(s, INFINITY, y));
    EXPECT_EQ(y, INT_MAX);

    s.grphWMin = s.grphWMax = 20;
    EXPECT_FALSE(GrphScaleX(s, 20, x));
    EXPECT_TRUE(GrphScaleY(s, 760, y));
    EXPECT_FALSE(GrphScale(s, 20, 760, x, y));
    s = Defaults();
    s.grphHMin = s.grphHMax = 760;
    EXPECT_FALSE(GrphScaleY(s, 760, y));
    EXPECT_TRUE(GrphScaleX(s, 20, x));
    EXPECT_FALSE(GrphScale(s, 20, 760, x, y));

    s = Defaults();
    s.grphWMin = INT_MIN; s.grphWMax = INT_MAX;
    EXPECT_TRUE(GrphScaleX(s, INT_MAX, x));
    EXPECT_EQ(x, 300);
    s.grphHMin = -DBL_MAX; s.grphHMax = DBL_MAX; // the range itself overflows
    EXPECT_TRUE(GrphScaleY(s, 0, y));
}

TEST(GraphGrid, DefaultRangesGiveTheGridAndLabelValues)
{
    const SystemSettings s = Defaults();
    const auto columns = Columns(s);
    ASSERT_EQ(columns.size(), 21u);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        EXPECT_EQ(columns[k].pixel, 15 + 15 * int(k));
        EXPECT_EQ(columns[k].value, -50 + 10 * double(k));
    }
    const auto rows = Rows(s);
    ASSERT_EQ(rows.size(), 9u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].pixel, 320 - 40 * int(k));
        EXPECT_EQ(numtext::FormatGeneral(rows[k].value), numtext::FormatWhole(100 * int(k)));
    }
    SystemSettings reversed = s;
    reversed.grphWMin = 150; reversed.grphWMax = -50;
    reversed.grphHMin = 800; reversed.grphHMax = 0;
    EXPECT_TRUE(Columns(reversed).empty());
    EXPECT_TRUE(Rows(reversed).empty());
}

TEST(GraphGrid, AtmosphereGridEveryTenthWithoutDrift)
{
    SystemSettings s = Defaults();
    s.pressureUnit = 1;
    const struct { double min, max; std::size_t lines; } ranges[] = {
        {0, 1, 11}, {0, 0.3, 4}, {0, 10, 101}, {0.5, 2, 16}};
    for (const auto& r : ranges) {
        s.grphHMin = r.min; s.grphHMax = r.max;
        const auto rows = Rows(s);
        ASSERT_EQ(rows.size(), r.lines) << r.min << ".." << r.max;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            // The k-th label reads min + k/10 exactly: "0", "0.1", "0.2", … "6", not 5.99999999999999.
            EXPECT_EQ(numtext::FormatGeneral(rows[k].value),
                      Tenths(std::llround(r.min * 10) + static_cast<long long>(k)));
            EXPECT_EQ(rows[k].pixel, Pixel(s, 0, rows[k].value).second);
        }
        EXPECT_EQ(rows.back().pixel, 0) << "top line at the end of the axis";
    }
}

TEST(GraphGrid, HugeRangesEndPromptlyOneLinePerPixel)
{
    const struct { std::int32_t wMin, wMax; std::int32_t unit; double hMin, hMax; } cases[] = {
        {INT_MIN, INT_MAX, 1, 0, 800},          // 429 million columns, 8,001 rows
        {INT_MAX - 5, INT_MAX, 0, 1e300, 2e300}, // t + 10 leaves 32 bits; p + 100 == p
        {-50, INT_MAX, 1, 0, 1e12},
        {0, 100000, 0, -DBL_MAX, DBL_MAX},
        {INT_MIN, INT_MIN + 1, 1, 0, DBL_MAX},
        {-20, 20, 1, 1e16, 1e16 + 4},            // the step is lost on the start value
    };
    for (const auto& c : cases) {
        SystemSettings s = Defaults();
        s.grphWMin = c.wMin; s.grphWMax = c.wMax; s.pressureUnit = c.unit;
        s.grphHMin = c.hMin; s.grphHMax = c.hMax;
        const auto columns = Columns(s);
        const auto rows = Rows(s);
        ASSERT_FALSE(columns.empty());
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(columns.front().pixel, 15);
        EXPECT_EQ(rows.front().pixel, 320);
        for (std::size_t k = 1; k < columns.size(); ++k) {
            EXPECT_GT(columns[k].pixel, columns[k - 1].pixel);
            EXPECT_GT(columns[k].value, columns[k - 1].value);
        }
        for (std::size_t k = 1; k < rows.size(); ++k) {
            EXPECT_LT(rows[k].pixel, rows[k - 1].pixel);
            EXPECT_GE(rows[k].value, rows[k - 1].value);
        }
        EXPECT_LE(columns.back().pixel, 319);
        EXPECT_GE(rows.back().pixel, -30);
        EXPECT_LE(columns.size(), 320u + kMaxLabelWidth);
        EXPECT_LE(rows.size(), 344u + kMaxLabelHeight);
    }
    // Every pixel row of the plot frame gets the first of the 8,001 atm lines landing on it.
    SystemSettings s = Defaults();
    s.pressureUnit = 1;
    const auto rows = Rows(s);
    EXPECT_EQ(rows.size(), 321u);
    EXPECT_EQ(numtext::FormatGeneral(rows[1].value), "1.3"); // 1.25 atm maps to 0.5: even, 0
    EXPECT_EQ(numtext::FormatGeneral(rows.back().value), "798.8");
}

TEST(GraphGrid, EqualEndsDrawNoLinesOnThatAxis)
{
    SystemSettings s = Defaults();
    s.grphWMin = s.grphWMax = 20;
    EXPECT_TRUE(Columns(s).empty());
    EXPECT_EQ(Rows(s).size(), 9u);
    s = Defaults();
    s.grphHMin = s.grphHMax = 0;
    EXPECT_TRUE(Rows(s).empty());
    EXPECT_EQ(Columns(s).size(), 21u);
}

namespace {

PlottedPoint Point(std::int32_t liquid, std::int32_t t, const char* text, std::int32_t tUnit = 0,
                   std::int32_t pUnit = 0)
{
    PlottedPoint p;
    p.liquid = liquid;
    p.temperature = t;
    p.temperatureUnit = tUnit;
    p.pressureText = text;
    p.pressureUnit = pUnit;
    return p;
}

} // namespace

TEST(PlotRecord, KeepsTheMostRecentPointsInOrderAndNumbersThemFromTheErase)
{
    PlotRecord r;
    const std::size_t extra = 5;
    for (std::size_t i = 0; i < PlotRecord::kMaxPoints + extra; ++i)
        r.Add(Point(0, static_cast<std::int32_t>(i), ""));
    ASSERT_EQ(r.Size(), PlotRecord::kMaxPoints);
    EXPECT_EQ(r.At(0).temperature, 5);
    EXPECT_EQ(r.NumberOf(0), 6u); // the table shows that its first rows were dropped
    EXPECT_EQ(r.Newest().temperature, static_cast<std::int32_t>(PlotRecord::kMaxPoints + extra - 1));
    EXPECT_EQ(r.NumberOf(r.Size() - 1), PlotRecord::kMaxPoints + extra);
    for (std::size_t i = 1; i < r.Size(); ++i)
        ASSERT_EQ(r.At(i).temperature, r.At(i - 1).temperature + 1) << i;

    r.Clear();
    EXPECT_TRUE(r.Empty());
    r.Add(Point(1, 7, ""));
    EXPECT_EQ(r.NumberOf(0), 1u);
    EXPECT_EQ(r.Newest().temperature, 7);
}

TEST(PointsTable, CsvFieldQuotesOnlyWhatNeedsIt)
{
    const struct { const char* in; const char* out; } cases[] = {
        {"", ""},
        {"28.1", "28.1"},
        {"ジエチルエーテル", "ジエチルエーテル"},
        {"1,5", "\"1,5\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a\r\nb", "\"a\r\nb\""},
        {"a\nb", "\"a\nb\""},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(PointsTable, CsvHasBomCrlfHeaderAndOneRowPerPointInEachUnit)
{
    PlotRecord r;
    EXPECT_EQ(PointsCsv(r), "\xEF\xBB\xBF番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値\r\n");
    r.Add(Point(0, 25, "23.8"));
    r.Add(Point(1, 300, "0.037", 1, 1));
    r.Add(Point(-1, -5, "1448", 0, 2)); // a substance step without a liquid: the model's ether
    PlottedPoint book = Point(2, 20, "442.0");
    book.dataBook = true;
    r.Add(book);
    EXPECT_EQ(PointsCsv(r),
              "\xEF\xBB\xBF番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値\r\n"
              "1,水,25,℃,23.8,mmHg,標準\r\n"
              "2,エタノール,300,K,0.037,atm,標準\r\n"
              "3,ジエチルエーテル,-5,℃,1448,hPa,標準\r\n"
              "4,ジエチルエーテル,20,℃,442.0,mmHg,文献値\r\n");
}

TEST(PointsTable, AxisTitlesFollowTheUnits)
{
    EXPECT_EQ(TemperatureAxisTitle(0), "温度 (℃)");
    EXPECT_EQ(TemperatureAxisTitle(1), "温度 (K)");
    EXPECT_EQ(PressureAxisTitle(0), "圧力 (mmHg)");
    EXPECT_EQ(PressureAxisTitle(1), "圧力 (atm)");
    EXPECT_EQ(PressureAxisTitle(2), "圧力 (hPa)");
    EXPECT_EQ(PressureAxisTitle(7), "圧力 (hPa)"); // any other unit reads as hPa
}

// The label rule with a width table of its own: 5 px per character, 7 px tall, ink from
// the text position's corner.
TEST(GraphLabels, EverySecondLabelFromZeroWhenNeighboursWouldTouch)
{
    const MeasureInk table = [](std::string_view text) {
        return InkBox{0, 2, static_cast<std::int32_t>(5 * text.size()), 9};
    };
    const auto texts = [&](const SystemSettings& s, const LabelFrame& frame, bool temperature) {
        std::vector<std::string> out;
        for (const GridLabel& l : GridLabels(s, frame, table))
            if (l.temperature == temperature) out.push_back(l.text);
        return out;
    };
    SystemSettings s = Defaults();
    // "-50" is 15 px wide on lines 15 px apart: every second one, counted from 0. The
    // last line's "150" would have to move 10 px, over half its width, to fit: left out.
    EXPECT_EQ(texts(s, LabelFrame{}, true), (std::vector<std::string>{"-40", "-20", "0", "20", "40", "60",
                                                                      "80", "100", "120", "140"}));
    // 40 px apart: every one; the top line has no room above it for "800", which would
    // otherwise sit below its line among the others.
    EXPECT_EQ(texts(s, LabelFrame{}, false),
              (std::vector<std::string>{"0", "100", "200", "300", "400", "500", "600", "700"}));
    for (const GridLabel& l : GridLabels(s, LabelFrame{}, table))
        if (!l.temperature) EXPECT_EQ(l.ink.bottom, 319 - 40 * (std::stoi(l.text) / 100)) << l.text;

    // Given room beyond the panel, the end labels show, each at its line like the others.
    LabelFrame roomy;
    roomy.bounds = {-20, -20, kPanelWidth + 20, kPanelHeight};
    const auto wide = GridLabels(s, roomy, table);
    EXPECT_EQ(wide.back().text, "800");
    EXPECT_EQ(wide.back().ink.bottom, -1);
    EXPECT_EQ(texts(s, roomy, true).front(), "-40"); // "-50" touches "-40": still out

    // An end line off the stride is labelled where its label keeps its gap: "-30" and
    // "150" beside the stride of 20 from 0 at 5 px per character, with room to the right.
    s.grphWMin = -30; s.grphWMax = 150;
    LabelFrame right;
    right.bounds = {0, 0, kPanelWidth + 20, kPanelHeight};
    right.gap = 1;
    const auto ends = texts(s, right, true);
    EXPECT_EQ(ends.front(), "-30");
    EXPECT_EQ(ends.back(), "150");

    s.grphWMin = 0; s.grphWMax = 100; // 30 px apart: all but the last, moved 10 px of 15
    const auto labels = GridLabels(s, LabelFrame{}, table);
    ASSERT_EQ(labels.front().text, "0");
    EXPECT_EQ(labels[9].text, "90");
    EXPECT_EQ(labels[9].x, 285 - 5);
    EXPECT_NE(labels[10].text, "100");

    // A hundred-fold range leaves every tenth or twentieth line, still from 0, and the
    // first line's; the last one's, with no room, gives way to no other.
    s.grphWMin = -990; s.grphWMax = 990;
    const auto many = texts(s, LabelFrame{}, true);
    EXPECT_EQ(many.front(), "-990");
    for (std::size_t i = 1; i < many.size(); ++i) EXPECT_EQ(std::stoi(many[i]) % 100, 0) << many[i];
    // Nothing to measure with, nothing labelled.
    EXPECT_TRUE(GridLabels(s, LabelFrame{}, MeasureInk{}).empty());
}

TEST(TypedThrough, OnlyTheTextsTypedOnTheWayToTheNextOne)
{
    const auto typed = [](const char* text, std::int32_t liquid = 0) {
        PlottedPoint p;
        p.typed = text != nullptr;
        p.typedText = text ? text : "";
        p.liquid = liquid;
        return p;
    };
    const struct { PlottedPoint earlier, later; bool through; } cases[] = {
        {typed("2"), typed("20"), true},
        {typed("1"), typed("10"), true},
        {typed("10"), typed("100"), true},
        {typed("-1"), typed("-10"), true},
        {typed("２"), typed("２０"), true},     // full width from an input method
        {typed("2"), typed("2.5"), true},
        {typed("20"), typed("2"), false},       // shortened: 2 is meant
        {typed("20"), typed("25"), false},      // replaced
        {typed("20"), typed("20"), false},      // the same text again
        {typed(nullptr), typed("20"), false},   // the spinner's or a step's point
        {typed("2"), typed(nullptr), false},
        {typed("2", 0), typed("20", 1), false}, // another liquid in between
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypedThrough(c.earlier, c.later), c.through)
            << c.earlier.typedText << " → " << c.later.typedText;

    // The record marks them as they come, and the table leaves them out unless asked.
    PlotRecord r;
    for (const char* t : {"2", "20", "1", "10", "100"}) {
        PlottedPoint p = typed(t);
        p.temperature = std::stoi(t);
        p.pressureText = "1.0";
        r.Add(p);
    }
    std::vector<bool> through;
    for (std::size_t i = 0; i < r.Size(); ++i) through.push_back(r.At(i).typedThrough);
    EXPECT_EQ(through, (std::vector<bool>{true, false, true, true, false}));
    EXPECT_EQ(PointsCsv(r), "\xEF\xBB\xBF番号,物質,温度,温度の単位,圧力,圧力の単位,蒸気圧の値\r\n"
                            "2,水,20,℃,1.0,mmHg,標準\r\n5,水,100,℃,1.0,mmHg,標準\r\n");
    r.SetIncludeTypedThrough(true);
    const std::string all = PointsCsv(r);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
}

TEST(ReportLegend, OneEntryPerRunAmountsNamedWhereALiquidHasSeveral)
{
    PlotRecord r;
    const auto add = [&](std::int32_t liquid, std::int32_t mol, double litres, bool book = false) {
        PlottedPoint p;
        p.liquid = liquid; p.mol = mol; p.container = litres; p.dataBook = book;
        r.Add(p);
    };
    add(0, 1, 30);
    add(0, 1, 30);
    add(-1, 1, 30);  // ether, as the model reads a missing liquid
    add(0, 2, 30);   // the same liquid, twice the amount
    add(1, 1, 30, true);
    add(0, 1, 30);   // back to the first run
    const std::vector<LegendEntry> legend = LegendEntries(r);
    ASSERT_EQ(legend.size(), 4u);
    EXPECT_EQ(legend[0].text, "水 (1 mol, 30 L)");
    EXPECT_EQ(legend[1].text, "水 (2 mol, 30 L)");
    EXPECT_EQ(legend[2].text, "エタノール (文献値)");
    EXPECT_EQ(legend[3].text, "ジエチルエーテル");
    EXPECT_EQ(legend[0].shape, 0);
    EXPECT_EQ(legend[1].shape, 1); // told apart by the marker as well
    EXPECT_EQ(legend[2].shape, 0);
    EXPECT_EQ(MarkerShape(legend, r.At(3)), 1);
    EXPECT_EQ(MarkerShape(legend, r.At(5)), 0);
    EXPECT_TRUE(LegendEntries(PlotRecord{}).empty());
}
