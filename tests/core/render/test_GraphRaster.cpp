// The graph at a display's own pixels: one-pixel grid lines and same-sized points at any
// size, and the same picture whether drawn point by point or all at once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/render/GraphRaster.h"

using render::GraphPicture;
using render::GraphRaster;

namespace {

SystemSettings Defaults()
{
    SystemSettings s;
    s.container = 30; s.mol = 1;
    s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    return s;
}

// Runs of grid colour along a row (or a column) of the raster.
std::vector<int> GridRuns(const GraphRaster& r, bool row, int at)
{
    std::vector<int> runs;
    int run = 0;
    const int n = row ? r.Width() : r.Height();
    for (int i = 0; i <= n; ++i) {
        const bool grid = i < n && (row ? r.At(i, at) : r.At(at, i)) == render::kGridColor;
        if (grid) ++run;
        else if (run) runs.push_back(std::exchange(run, 0));
    }
    return runs;
}

// A graph with its grid and points of two liquids, some overlapping.
GraphPicture Plotted(const SystemSettings& s)
{
    GraphPicture g;
    AppState st;
    st.grphVisible = 1;
    g.GrphRedraw(s);
    const struct { int liquid, t; double p; } points[] = {
        {0, 20, 17.5}, {0, 21, 18.7}, {0, 60, 149.4}, {1, 20, 44.0}, {1, 60, 352.7}, {2, 30, 600}, {2, 31, 620},
    };
    for (const auto& p : points) {
        st.curLiquid = p.liquid;
        g.GrphPlotPoint(s, st, p.t, p.p, "");
    }
    return g;
}

std::vector<render::Pixel> Copy(const GraphRaster& r) { return {r.Pixels(), r.Pixels() + r.Width() * r.Height()}; }

} // namespace

TEST(GraphRaster, GridLinesOnePixelAndEveryPointOneShapeAtFittedSizes)
{
    const SystemSettings s = Defaults();
    const GraphPicture g = Plotted(s);
    // Phones, tablets either way, a projector, and sizes between whole zooms.
    const struct { int w, h; } sizes[] = {{236, 250}, {315, 334}, {403, 427}, {473, 501}, {512, 543},
                                          {630, 668}, {744, 789}, {945, 1002}, {1181, 1252}};
    for (const auto& z : sizes) {
        GraphRaster r;
        r.SetSize(z.w, z.h, g);
        // Between the grid's rows and columns: 20 vertical lines (150 lies just off the
        // panel) and 9 horizontal ones, each 1 px.
        const auto across = GridRuns(r, true, r.Y(mdlGrph::kFrameBottom - 20));
        EXPECT_EQ(across, std::vector<int>(20, 1)) << z.w << "×" << z.h;
        const auto down = GridRuns(r, false, r.X(mdlGrph::kFrameLeft + 5));
        EXPECT_EQ(down, std::vector<int>(9, 1)) << z.w << "×" << z.h;
        // The newest point red, in a square of the one size every mark has.
        int red = 0;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) red += r.At(x, y) == render::kNewestColor;
        const int side = std::max(1, (6 * z.w + 315) / 630);
        EXPECT_EQ(red, side * side) << z.w << "×" << z.h;
    }
}

TEST(GraphRaster, AtThePanelsSizeItIsThePanel)
{
    const GraphPicture g = Plotted(Defaults());
    GraphRaster r;
    r.SetSize(GraphPicture::kWidth, GraphPicture::kHeight, g);
    EXPECT_EQ(Copy(r), std::vector<render::Pixel>(g.Pixels(), g.Pixels() + GraphPicture::kWidth * GraphPicture::kHeight));
}

TEST(GraphRaster, PointByPointMatchesAllAtOnce)
{
    for (const bool distinct : {false, true}) {
        SCOPED_TRACE(distinct ? "distinct markers" : "the panel's squares");
        const SystemSettings s = Defaults();
        GraphPicture g;
        g.SetDistinctMarkers(distinct);
        AppState st;
        st.grphVisible = 1;
        GraphRaster step;
        step.SetSize(512, 543, g);
        const auto apply = [&] {
            step.Apply(g);
            g.ClearChanges();
        };
        g.GrphRedraw(s);
        apply();
        for (int t = 0; t < 100; t += 3) { // a ramp, liquids changing, points overlapping
            st.curLiquid = t / 30;
            g.GrphPlotPoint(s, st, t, 10.0 * t, "");
            apply();
        }
        GraphRaster whole;
        whole.SetSize(512, 543, g);
        EXPECT_EQ(Copy(step), Copy(whole));
        EXPECT_FALSE(step.TakeDirty().Empty());
        EXPECT_TRUE(step.TakeDirty().Empty());

        // Cleared: back to the grid, at once and point by point.
        g.ClearClicked(s, st);
        apply();
        whole.Redraw(g);
        EXPECT_EQ(Copy(step), Copy(whole));
    }
}

TEST(GraphRaster, SizesOutOfReachAreClamped)
{
    const GraphPicture g = Plotted(Defaults());
    const struct { int w, h, ew, eh; } cases[] = {{0, 0, 1, 1}, {-5, 7, 1, 7}, {1 << 30, 3, GraphRaster::kMaxSide, 3}};
    for (const auto& c : cases) {
        GraphRaster r;
        r.SetSize(c.w, c.h, g);
        EXPECT_EQ(r.Width(), c.ew);
        EXPECT_EQ(r.Height(), c.eh);
    }
}

namespace {

// Relative luminance and contrast against white, as accessibility checkers compute them.
double Luminance(render::Pixel p)
{
    const auto lin = [](unsigned c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(render::RedOf(p)) + 0.7152 * lin(render::GreenOf(p)) + 0.0722 * lin(render::BlueOf(p));
}

// What a greyscale grab keeps of the 5 × 5 box around a point: which pixels are inked.
std::uint32_t InkedCells(const GraphPicture& g, int px, int py)
{
    std::uint32_t bits = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const render::Pixel p = g.At(px - 1 + x, py - 1 + y);
            if (p != render::kGraphBackground && p != render::kGridColor) bits |= 1u << (y * 5 + x);
        }
    return bits;
}

} // namespace

TEST(DistinctMarkers, LiquidsToldApartWithoutColourAndTheChoiceOffLeavesThePanelAsItWas)
{
    const SystemSettings s = Defaults();
    GraphPicture g = Plotted(s);
    const std::vector<render::Pixel> plain(g.Pixels(), g.Pixels() + GraphPicture::kWidth * GraphPicture::kHeight);
    g.SetDistinctMarkers(true);
    EXPECT_TRUE(g.TakenChanges().whole);
    // Points far from the others, one per liquid; the newest (ether at 31) ringed in red.
    const auto& pts = g.Points();
    std::uint32_t shapes[3] = {};
    for (std::size_t i = 0; i + 1 < pts.Size(); ++i) {
        const auto& p = pts.At(i);
        if (p.temperature != 60 && !(p.liquid == 2 && p.temperature == 30)) continue;
        shapes[std::min(p.liquid, 2)] = InkedCells(g, p.px, p.py);
        EXPECT_EQ(g.At(p.px + 1, p.py + 1), render::DistinctColor(p.liquid));
    }
    EXPECT_NE(shapes[0], shapes[1]);
    EXPECT_NE(shapes[1], shapes[2]);
    EXPECT_NE(shapes[0], shapes[2]);
    const auto& newest = pts.Newest();
    for (int k = 0; k < render::kRingSide; ++k) {
        EXPECT_EQ(g.At(newest.px - 3 + k, newest.py - 3), render::kNewestColor);
        EXPECT_EQ(g.At(newest.px - 3, newest.py - 3 + k), render::kNewestColor);
    }
    // Every marker's colour stands out from white by 3 : 1 or more.
    for (const render::Pixel c : {render::DistinctColor(0), render::DistinctColor(1), render::DistinctColor(2), render::kNewestColor})
        EXPECT_GE(1.05 / (Luminance(c) + 0.05), 3.0) << std::hex << c;

    // The display's pixels agree, drawn whole or point by point; and off again, the panel
    // is the one it was, pixel for pixel.
    GraphRaster whole, step;
    whole.SetSize(630, 668, g);
    step.SetSize(630, 668, GraphPicture{});
    step.Apply(g);
    EXPECT_EQ(Copy(step), Copy(whole));
    g.SetDistinctMarkers(false);
    EXPECT_EQ(std::vector<render::Pixel>(g.Pixels(), g.Pixels() + GraphPicture::kWidth * GraphPicture::kHeight), plain);
}
