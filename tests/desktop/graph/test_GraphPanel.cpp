#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>
#include <set>

#include "desktop/graph/GraphPanel.h"
#include "desktop/graph/GraphReport.h"
#include "core/model/NumText.h"

using graph::GraphPanel;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(192, 192, 192);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWaterBlue = qRgb(0, 0, 192);
constexpr QRgb kEthanolGreen = qRgb(0, 204, 0);

struct Panel : ::testing::Test {
    platform::DrawArea area{315, 334, qRgb(255, 255, 255)};
    GraphPanel panel{area};
    SystemSettings s;
    AppState st;
    void SetUp() override
    {
        s.container = 30; s.mol = 1;
        s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    }
    QRgb At(int x, int y) const { return area.Image().pixel(x, y); }
    // Pixels of the panel in the colour.
    std::set<std::pair<int, int>> PixelsOf(QRgb color) const
    {
        std::set<std::pair<int, int>> pixels;
        for (int y = 0; y < area.Height(); ++y)
            for (int x = 0; x < area.Width(); ++x)
                if (At(x, y) == color) pixels.insert({x, y});
        return pixels;
    }
};

std::set<std::pair<int, int>> Box(int x1, int y1, int x2, int y2)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) pixels.insert({x, y});
    return pixels;
}

} // namespace

TEST_F(Panel, DefaultGridLinesAndLabels)
{
    panel.GrphRedraw(s);
    // Lines, away from the labels: columns at 15, 30, … 300 (315 lies just off the panel),
    // rows at 320, 280, … 0, each line from end to end of the frame.
    for (int x = 15; x < 315; ++x)
        EXPECT_EQ(At(x, 300) == kGrey, x % 15 == 0) << "column " << x;
    for (int y = 0; y <= 324; ++y)
        EXPECT_EQ(At(200, y) == kGrey, y % 40 == 0) << "row " << y;
    for (int x = 15; x < 315; ++x) EXPECT_EQ(At(x, 320), kGrey);
    for (int y = 0; y <= 320; ++y) EXPECT_EQ(At(300, y), kGrey);
    EXPECT_EQ(At(30, 322), kWhite);
    EXPECT_EQ(At(14, 280), kWhite);

    // Labels: every dark pixel lies in the ink box of a label the rule chose, every one of
    // them shows, and a label away from the edges sits where the panel prints it:
    // temperatures with their left edge 5 px left of the line and their top at 325,
    // pressures at x 0 with their top 10 px above the line, all of them. 0 shows; the top
    // line has no room above it, and 800 is left out rather than printed below its line.
    EXPECT_EQ(area.Font().pixelSize(), 9);
    const auto labels = mdlGrph::GridLabels(s, graph::PanelLabelFrame(), graph::InkMeasure(area.Font()));
    bool zero = false, top = false;
    for (const auto& l : labels) {
        if (l.temperature) {
            zero |= l.text == "0";
            const int px = 15 + (std::stoi(l.text) + 50) * 3 / 2;
            if (px > 30 && px < 300) {
                EXPECT_EQ(l.x, px - 5) << l.text;
                EXPECT_EQ(l.y, 325) << l.text;
            }
        } else {
            top |= l.text == "800";
            EXPECT_EQ(l.x, 0);
            EXPECT_EQ(l.y, 320 - std::stoi(l.text) * 2 / 5 - 10) << l.text;
        }
    }
    EXPECT_TRUE(zero);
    EXPECT_FALSE(top);
    std::vector<int> dark(labels.size());
    for (int y = 0; y < 334; ++y)
        for (int x = 0; x < 315; ++x) {
            if (qGray(At(x, y)) >= 160) continue;
            bool inside = false;
            for (std::size_t b = 0; b < labels.size(); ++b) {
                const mdlGrph::InkBox& i = labels[b].ink;
                if (x >= i.left - 1 && x <= i.right && y >= i.top - 1 && y <= i.bottom) {
                    ++dark[b];
                    inside = true;
                }
            }
            EXPECT_TRUE(inside) << "stray ink at " << x << "," << y;
        }
    for (std::size_t b = 0; b < labels.size(); ++b) EXPECT_GT(dark[b], 3) << labels[b].text;
}

TEST_F(Panel, NewestPointRedPreviousInTheLiquidsColour)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 100, 760);
    EXPECT_EQ(PixelsOf(kRed), Box(240, 16, 242, 18));
    EXPECT_EQ(panel.LastX(), 240);
    EXPECT_EQ(panel.LastY(), 16);

    panel.GrphPlotPoint(s, st, 50, 92.5); // x 150, y 37
    EXPECT_EQ(PixelsOf(kRed), Box(165, 283, 167, 285));
    EXPECT_EQ(PixelsOf(kWaterBlue), Box(240, 16, 242, 18));

    // The liquid changed: the previous point keeps its water colour, and the next one
    // after it turns ethanol's.
    st.curLiquid = 1;
    panel.GrphPlotPoint(s, st, 20, 44);
    auto water = Box(240, 16, 242, 18);
    water.merge(Box(165, 283, 167, 285));
    EXPECT_EQ(PixelsOf(kWaterBlue), water);
    EXPECT_EQ(panel.grphColor, kWaterBlue);
    const int x = panel.LastX(), y = panel.LastY();
    panel.GrphPlotPoint(s, st, 30, 70);
    EXPECT_EQ(PixelsOf(kEthanolGreen), Box(x, y, x + 2, y + 2));
    EXPECT_EQ(PixelsOf(kWaterBlue), water);

    st.curLiquid = -1;
    EXPECT_EQ(graph::LiquidColor(-1), qRgb(0, 204, 204));
    EXPECT_EQ(graph::LiquidColor(2), qRgb(0, 204, 204));
}

TEST_F(Panel, PointOnThePreviousPixelEndsInTheLiquidColour)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 100, 760);
    panel.GrphPlotPoint(s, st, 100, 760.4);
    EXPECT_TRUE(PixelsOf(kRed).empty());
    EXPECT_EQ(PixelsOf(kWaterBlue), Box(240, 16, 242, 18));
}

TEST_F(Panel, ClearBlanksThePanelAndForgetsThePreviousPoint)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 100, 760);
    panel.GrphClear();
    EXPECT_EQ(PixelsOf(kWhite).size(), 315u * 334);
    EXPECT_EQ(panel.LastX(), -10);
    EXPECT_EQ(panel.LastY(), -10);
    panel.GrphPlotPoint(s, st, -50, 0); // at the frame's corner: only the red box shows
    EXPECT_EQ(PixelsOf(kRed), Box(15, 320, 17, 322));
    EXPECT_EQ(PixelsOf(kWhite).size(), 315u * 334 - 9);

    st.grphVisible = 0; // hidden: nothing plotted, nothing remembered
    panel.GrphPlotPoint(s, st, 100, 760);
    EXPECT_EQ(PixelsOf(kRed), Box(15, 320, 17, 322));
    EXPECT_EQ(panel.LastX(), 15);
}

TEST_F(Panel, FarOrUnmappablePointsDrawNothingAndNeverFail)
{
    panel.GrphRedraw(s);
    const QImage before = area.Image();
    const struct { std::int32_t t; double p; } far[] = {
        {INT_MAX, 1e300}, {INT_MIN, -1e300}, {1000, 760}, {273, 1e9}, {20, -1e6}};
    for (const auto& f : far) {
        panel.GrphPlotPoint(s, st, f.t, f.p);
        EXPECT_TRUE(area.Image() == before) << f.t << " " << f.p;
    }
    panel.GrphPlotPoint(s, st, 20, std::nan(""));
    EXPECT_TRUE(area.Image() == before);
    // Just outside the frame: in the label strip, not clamped onto the frame.
    panel.GrphPlotPoint(s, st, -51, -3);
    EXPECT_EQ(PixelsOf(kRed), Box(13, 321, 15, 323));

    // Equal ends: the other axis keeps its grid, no point is plotted.
    s.grphWMin = s.grphWMax = 20;
    panel.GrphRedraw(s);
    EXPECT_EQ(At(30, 300), kWhite);
    EXPECT_EQ(At(200, 280), kGrey);
    panel.GrphPlotPoint(s, st, 20, 760);
    EXPECT_TRUE(PixelsOf(kRed).empty());
    SetUp();
    s.grphHMin = s.grphHMax = 0;
    panel.GrphRedraw(s);
    EXPECT_EQ(At(30, 300), kGrey);
    EXPECT_EQ(At(200, 280), kWhite);
    panel.GrphPlotPoint(s, st, 20, 0);
    EXPECT_TRUE(PixelsOf(kRed).empty());
}

TEST_F(Panel, HugeRangesRedrawPromptly)
{
    const struct { std::int32_t wMin, wMax, unit; double hMin, hMax; } cases[] = {
        {INT_MIN, INT_MAX, 1, 0, 800}, {INT_MAX - 5, INT_MAX, 0, 1e300, 2e300},
        {0, 100000, 0, -DBL_MAX, DBL_MAX}};
    for (const auto& c : cases) {
        s.grphWMin = c.wMin; s.grphWMax = c.wMax; s.pressureUnit = c.unit;
        s.grphHMin = c.hMin; s.grphHMax = c.hMax;
        panel.GrphRedraw(s);
        EXPECT_EQ(At(15, 100), kGrey);
        EXPECT_EQ(At(100, 320), kGrey);
    }
}

TEST_F(Panel, ButtonsEraseShowAndHide)
{
    std::vector<int> shown;
    const auto show = [&](bool on) { shown.push_back(on); };
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 100, 760);
    panel.ClearClicked(s, st, show);
    EXPECT_EQ(shown, (std::vector<int>{1, 0}));
    EXPECT_TRUE(PixelsOf(kRed).empty());
    EXPECT_EQ(At(30, 300), kGrey);

    shown.clear();
    panel.SwitchClicked(s, st, show); // hide: blank, no grid
    EXPECT_EQ(st.grphVisible, 0);
    EXPECT_EQ(PixelsOf(kWhite).size(), 315u * 334);
    panel.ClearClicked(s, st, show); // hidden: the button only flashes
    EXPECT_EQ(PixelsOf(kWhite).size(), 315u * 334);
    panel.SwitchClicked(s, st, show); // show: the grid again
    EXPECT_EQ(st.grphVisible, 1);
    EXPECT_EQ(At(30, 300), kGrey);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1}));
}

TEST_F(Panel, RecordHoldsThePointsPlottedSinceTheLastErase)
{
    const auto temperatures = [&] {
        std::vector<int> ts;
        for (std::size_t i = 0; i < panel.Points().Size(); ++i) ts.push_back(panel.Points().At(i).temperature);
        return ts;
    };
    panel.GrphRedraw(s);
    ASSERT_TRUE(panel.GridSettings().has_value());
    panel.GrphPlotPoint(s, st, 100, 760, "760.0");
    st.curLiquid = 1;
    panel.GrphPlotPoint(s, st, INT_MAX, 1e300, "x"); // off the panel: plotted all the same
    st.grphVisible = 0;
    panel.GrphPlotPoint(s, st, 30, 30, "30.0"); // hidden: not plotted
    st.grphVisible = 1;
    EXPECT_EQ(temperatures(), (std::vector<int>{100, INT_MAX}));
    const mdlGrph::PlottedPoint& first = panel.Points().At(0);
    EXPECT_EQ(first.liquid, 0);
    EXPECT_EQ(first.pressureText, "760.0");
    EXPECT_TRUE(first.mapped);
    EXPECT_EQ(std::make_pair(first.px, first.py), std::make_pair(240, 16));
    EXPECT_EQ(panel.Points().At(1).liquid, 1);

    // Every erase of the panel forgets them; a plain clear also leaves no grid.
    const std::function<void()> erases[] = {
        [&] { panel.GrphClear(); },
        [&] { panel.GrphRedraw(s); },
        [&] { panel.ClearClicked(s, st, {}); },
        [&] { panel.SwitchClicked(s, st, {}); panel.SwitchClicked(s, st, {}); },
    };
    for (const auto& erase : erases) {
        panel.GrphPlotPoint(s, st, 20, 44);
        ASSERT_FALSE(panel.Points().Empty());
        erase();
        EXPECT_TRUE(panel.Points().Empty());
        EXPECT_EQ(st.grphVisible, 1);
    }
    panel.GrphClear();
    EXPECT_FALSE(panel.GridSettings().has_value());

    // Equal axis ends: nothing drawn, but the measurement is kept for the table.
    s.grphWMin = s.grphWMax = 20;
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 20, 17.5, "17.5");
    ASSERT_EQ(panel.Points().Size(), 1u);
    EXPECT_FALSE(panel.Points().Newest().mapped);
}

namespace {

// Pixels of the picture in the colour, and the box of a panel pixel box scaled by three.
std::set<std::pair<int, int>> PixelsIn(const QImage& image, QRgb color, QRect within = {})
{
    if (within.isNull()) within = image.rect();
    std::set<std::pair<int, int>> pixels;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) pixels.insert({x, y});
    return pixels;
}
std::set<std::pair<int, int>> Scaled(int px, int py)
{
    const int x = graph::kReportLeft + 3 * px, y = graph::kReportTop + 3 * py;
    return Box(x, y, x + 8, y + 8);
}
int DarkPixels(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) ++n;
    return n;
}

} // namespace

TEST_F(Panel, ReportPictureAtThreeTimesWithColoursLegendAndTitles)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 100, 760);  // water, panel (240, 16)
    panel.GrphPlotPoint(s, st, 50, 92.5);  // water, (165, 283)
    panel.GrphPlotPoint(s, st, INT_MAX, 1e300); // far off: nowhere on the picture
    st.curLiquid = -1;                     // ether, as the model reads a missing liquid
    panel.GrphPlotPoint(s, st, 20, 44);    // newest, (120, 302)
    const QImage image = graph::ReportImage(panel.Points(), s);
    ASSERT_EQ(image.size(), QSize(graph::kReportWidth, graph::kReportHeight));
    const graph::ReportLayout layout = graph::ReportLayoutFor(panel.Points());
    EXPECT_EQ(layout.panel, QRect(graph::kReportLeft, graph::kReportTop, 945, 1002));

    // The newest point in red where the mapping puts it, three times the scale; each earlier
    // point in the colour of the liquid it was measured with, whatever came after it.
    EXPECT_EQ(PixelsIn(image, kRed, layout.panel), Scaled(120, 302));
    EXPECT_EQ(PixelsIn(image, kWaterBlue, layout.panel), [] {
        auto both = Scaled(240, 16);
        both.merge(Scaled(165, 283));
        return both;
    }());
    // The grid as on the panel: the frame's left column and bottom row.
    EXPECT_EQ(image.pixel(graph::kReportLeft + 45 + 1, graph::kReportTop + 300) & 0xFFFFFF, kGrey & 0xFFFFFF);
    EXPECT_EQ(image.pixel(graph::kReportLeft + 600, graph::kReportTop + 960 + 2) & 0xFFFFFF, kGrey & 0xFFFFFF);
    // The top label, centred on its line, shows whole across the panel's edge.
    EXPECT_GT(DarkPixels(image, QRect(graph::kReportLeft, graph::kReportTop - 20, 45, 20)), 10);
    EXPECT_GT(DarkPixels(image, QRect(graph::kReportLeft, graph::kReportTop, 45, 20)), 10);

    // Legend: the newest point in red, then water and ether, not ethanol, each swatch
    // followed by its name.
    ASSERT_EQ(layout.legend.size(), 3u);
    EXPECT_EQ(layout.legend[0].color, kRed);
    EXPECT_EQ(layout.legend[0].text, "最新の点");
    EXPECT_EQ(layout.legend[1].color, kWaterBlue);
    EXPECT_EQ(layout.legend[1].text, "水");
    EXPECT_EQ(layout.legend[2].color, graph::LiquidColor(2));
    EXPECT_EQ(layout.legend[2].text, "ジエチルエーテル");
    EXPECT_LT(layout.legend[0].swatch.right(), layout.legend[1].swatch.left());
    EXPECT_LT(layout.legend[1].swatch.right(), layout.legend[2].swatch.left());
    for (const auto& item : layout.legend) {
        const QRect& swatch = item.swatch;
        EXPECT_EQ(PixelsIn(image, item.color, swatch).size(),
                  static_cast<std::size_t>(swatch.width() * swatch.height()));
        EXPECT_GT(DarkPixels(image, QRect(swatch.right() + 2, swatch.top() - 4, 60, swatch.height() + 8)), 20);
        EXPECT_TRUE(layout.panel.top() > swatch.bottom() + 30); // clear of the top label
    }
    EXPECT_TRUE(PixelsIn(image, kEthanolGreen).empty());

    // Axis titles in the current units: present, and other units change them.
    EXPECT_GT(DarkPixels(image, layout.temperatureTitle), 100);
    EXPECT_GT(DarkPixels(image, layout.pressureTitle), 100);
    SystemSettings k = s;
    k.temperatureUnit = 1;
    k.pressureUnit = 1;
    const QImage other = graph::ReportImage(panel.Points(), k);
    EXPECT_NE(other.copy(layout.temperatureTitle), image.copy(layout.temperatureTitle));
    EXPECT_NE(other.copy(layout.pressureTitle), image.copy(layout.pressureTitle));
}

TEST_F(Panel, ReportPictureCutsPointsOffAtThePanelsEdge)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 150, 0);   // x 300 → px 315: just off the right edge
    panel.GrphPlotPoint(s, st, 149, 800); // px 313, py 0: two columns show
    const QImage image = graph::ReportImage(panel.Points(), s);
    const QRect panelRect = graph::ReportLayoutFor(panel.Points()).panel;
    const auto red = PixelsIn(image, kRed, QRect(0, graph::kReportTop, image.width(), image.height() - graph::kReportTop));
    EXPECT_EQ(red, Box(panelRect.right() - 5, graph::kReportTop, panelRect.right(), graph::kReportTop + 8));
    EXPECT_TRUE(PixelsIn(image, kWaterBlue, QRect(panelRect.right() + 1, 0, 40, image.height())).empty());
    EXPECT_EQ(PixelsIn(image, kWaterBlue).size(), 24u * 24); // only the legend's swatch
}

TEST_F(Panel, ReportPictureTellsRunsOfOneLiquidApartAndCarriesItsResolution)
{
    panel.GrphRedraw(s);
    panel.GrphPlotPoint(s, st, 50, 92.5); // water, 1 mol: (165, 283)
    s.mol = 2;
    panel.GrphPlotPoint(s, st, 60, 149);  // water, 2 mol
    panel.GrphPlotPoint(s, st, 100, 760); // the newest, (240, 16)
    const QImage image = graph::ReportImage(panel.Points(), s);
    const graph::ReportLayout layout = graph::ReportLayoutFor(panel.Points());
    ASSERT_EQ(layout.legend.size(), 3u);
    EXPECT_EQ(layout.legend[1].text, "水 (1 mol, 30 L)");
    EXPECT_EQ(layout.legend[2].text, "水 (2 mol, 30 L)");
    EXPECT_EQ(layout.legend[1].shape, 0);
    EXPECT_EQ(layout.legend[2].shape, 1);
    // The 1 mol point a filled square, the 2 mol point a hollow one, as in the legend.
    const auto at = [&](int px, int py, int dx, int dy) {
        return image.pixel(graph::kReportLeft + px * 3 + dx, graph::kReportTop + py * 3 + dy) & 0xFFFFFF;
    };
    EXPECT_EQ(at(165, 283, 4, 4), kWaterBlue & 0xFFFFFF);
    const mdlGrph::PlottedPoint& second = panel.Points().At(1);
    EXPECT_EQ(at(second.px, second.py, 0, 0), kWaterBlue & 0xFFFFFF);
    EXPECT_EQ(at(second.px, second.py, 4, 4), kWhite & 0xFFFFFF);
    const QRect hollow = layout.legend[2].swatch;
    EXPECT_EQ(image.pixel(hollow.center()) & 0xFFFFFF, kWhite & 0xFFFFFF);
    // Three times the screen's 96 dpi, so that it pastes at the panel's size.
    EXPECT_EQ(image.dotsPerMeterX(), graph::kReportDotsPerMetre);
    EXPECT_EQ(image.dotsPerMeterY(), graph::kReportDotsPerMetre);
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 288, 0.02);
}
