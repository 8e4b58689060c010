#include "render/GraphPicture.h"

#include <algorithm>

#include "model/NumText.h"

namespace render {

Pixel LiquidColor(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return Rgb(0, 0, 192);
    case 1: return Rgb(0, 204, 0);
    default: return Rgb(0, 204, 204);
    }
}

GraphPicture::GraphPicture() { pixels_.fill(kGraphBackground); }

void GraphPicture::FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Pixel color)
{
    const std::int64_t left = std::max<std::int64_t>(std::min(x1, x2), 0);
    const std::int64_t right = std::min<std::int64_t>(std::max(x1, x2), kWidth - 1);
    const std::int64_t top = std::max<std::int64_t>(std::min(y1, y2), 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(y1, y2), kHeight - 1);
    for (std::int64_t y = top; y <= bottom; ++y)
        for (std::int64_t x = left; x <= right; ++x) pixels_[static_cast<std::size_t>(y * kWidth + x)] = color;
}

void GraphPicture::GrphClear()
{
    pixels_.fill(kGraphBackground);
    labels_.clear();
    grphLastX = -10;
    grphLastY = -10;
    points_.Clear();
    gridSettings_.reset();
}

void GraphPicture::GrphRedraw(const SystemSettings& s)
{
    GrphClear();
    mdlGrph::TemperatureGrid(s, [this](std::int32_t px, std::int32_t t) {
        FillBox(px, mdlGrph::kFrameBottom, px, 0, kGridColor);
        labels_.push_back({numtext::FormatWhole(t), px - 5, 325});
    });
    mdlGrph::PressureGrid(s, [this](std::int32_t py, double p) {
        FillBox(mdlGrph::kFrameLeft, py, mdlGrph::kFrameLeft + mdlGrph::kAxisWidth, py, kGridColor);
        labels_.push_back({numtext::FormatGeneral(p), 0, py - 10});
    });
    gridSettings_ = s;
}

void GraphPicture::GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                                 double pressure, std::string_view readout)
{
    if (st.grphVisible == 0) return;
    std::int32_t x, y, px, py;
    const bool mapped = mdlGrph::GrphScale(s, temperature, pressure, x, y);
    mdlGrph::GrphPixel(x, y, px, py);
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
    if (!mapped) return;
    FillBox(px, py, std::int64_t{px} + 2, std::int64_t{py} + 2, kNewestColor);
    FillBox(grphLastX, grphLastY, std::int64_t{grphLastX} + 2, std::int64_t{grphLastY} + 2, LiquidColor(st.curLiquid));
    grphLastX = px;
    grphLastY = py;
}

void GraphPicture::ClearClicked(const SystemSettings& s, const AppState& st)
{
    if (st.grphVisible == 1) GrphRedraw(s);
}

void GraphPicture::SwitchClicked(const SystemSettings& s, AppState& st)
{
    if (st.grphVisible != 0) {
        GrphClear();
        st.grphVisible = 0;
    } else {
        GrphRedraw(s);
        st.grphVisible = 1;
    }
}

} // namespace render
