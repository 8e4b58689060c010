#include "graph/GraphPanel.h"

#include <algorithm>
#include <limits>

#include "graph/mdlGrph.h"
#include "model/NumText.h"
#include "platform/Fonts.h"

namespace graph {

namespace {

constexpr double kLabelPoints = 6.75;

// A box corner a few pixels past a saturated position: still far off the panel.
int Corner(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

void FillSquare(platform::DrawArea& area, std::int32_t x, std::int32_t y, QRgb color)
{
    area.FillBox(x, y, Corner(std::int64_t{x} + 2), Corner(std::int64_t{y} + 2), color);
}

} // namespace

QRgb LiquidColor(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return qRgb(0, 0, 192);
    case 1: return qRgb(0, 204, 0);
    default: return qRgb(0, 204, 204);
    }
}

GraphPanel::GraphPanel(platform::DrawArea& area) : area_(area)
{
    area_.SetFont(platform::ProportionalFont(platform::PixelsForPoints(kLabelPoints)));
    area_.SetTextColor(qRgb(0, 0, 0));
}

void GraphPanel::GrphClear()
{
    area_.FillBox(0, 0, 315, 340, kBackground);
    grphLastX = -10;
    grphLastY = -10;
    points_.Clear();
    gridSettings_.reset();
    area_.Refresh();
}

void GraphPanel::GrphRedraw(const SystemSettings& s)
{
    GrphClear();
    mdlGrph::TemperatureGrid(s, [this](std::int32_t px, std::int32_t t) {
        area_.Line(px, mdlGrph::kFrameBottom, px, 0, kGridColor);
        area_.SetTextPos(px - 5, 325);
        area_.Print(QString::fromStdString(numtext::FormatWhole(t)));
    });
    mdlGrph::PressureGrid(s, [this](std::int32_t py, double p) {
        area_.Line(mdlGrph::kFrameLeft, py, mdlGrph::kFrameLeft + mdlGrph::kAxisWidth, py,
                   kGridColor);
        area_.SetTextPos(0, py - 10);
        area_.Print(QString::fromStdString(numtext::FormatGeneral(p)));
    });
    gridSettings_ = s;
    area_.Refresh();
}

void GraphPanel::GrphPlotPoint(const SystemSettings& s, const AppState& st,
                               std::int32_t temperature, double pressure,
                               std::string_view readout)
{
    if (st.grphVisible == 0) return;
    grphColor = LiquidColor(st.curLiquid);
    std::int32_t x, y, px, py;
    const bool mapped = mdlGrph::GrphScale(s, temperature, pressure, x, y);
    mdlGrph::GrphPixel(x, y, px, py);
    Record(s, st, temperature, pressure, readout, mapped, px, py);
    if (!mapped) return;
    FillSquare(area_, px, py, kNewestColor);
    FillSquare(area_, grphLastX, grphLastY, grphColor);
    grphLastX = px;
    grphLastY = py;
    area_.Refresh();
}

void GraphPanel::Record(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                        double pressure, std::string_view readout, bool mapped, std::int32_t px,
                        std::int32_t py)
{
    mdlGrph::PlottedPoint point;
    point.liquid = st.curLiquid;
    point.temperature = temperature;
    point.temperatureUnit = s.temperatureUnit;
    point.pressure = pressure;
    point.pressureText = readout.empty() ? numtext::FormatGeneral(pressure) : std::string(readout);
    point.pressureUnit = s.pressureUnit;
    point.mapped = mapped;
    point.px = px;
    point.py = py;
    points_.Add(point);
}

void GraphPanel::ClearClicked(const SystemSettings& s, const AppState& st,
                              const ShowButton& showClear)
{
    if (showClear) showClear(true);
    if (st.grphVisible == 1) GrphRedraw(s);
    if (showClear) showClear(false);
}

void GraphPanel::SwitchClicked(const SystemSettings& s, AppState& st, const ShowButton& showSwitch)
{
    if (st.grphVisible != 0) {
        if (showSwitch) showSwitch(false);
        GrphClear();
        st.grphVisible = 0;
    } else {
        if (showSwitch) showSwitch(true);
        GrphRedraw(s);
        st.grphVisible = 1;
    }
}

} // namespace graph
