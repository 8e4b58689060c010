#include "desktop/graph/GraphPanel.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <limits>
#include <map>
#include <memory>

#include "core/graph/mdlGrph.h"
#include "core/model/NumText.h"
#include "desktop/platform/Fonts.h"

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

mdlGrph::InkBox InkOf(const QFont& font, std::string_view text)
{
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics fm(font);
    const int pad = fm.height() + 2;
    QImage image(fm.horizontalAdvance(t) + 2 * pad, fm.height() + 2 * pad, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(pad, pad + fm.ascent()), t);
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) != 0xFFFFFF) ink |= QRect(x, y, 1, 1);
    }
    if (ink.isEmpty()) return {};
    return {ink.left() - pad, ink.top() - pad, ink.right() + 1 - pad, ink.bottom() + 1 - pad};
}

mdlGrph::MeasureInk InkMeasure(const QFont& font)
{
    auto known = std::make_shared<std::map<std::string, mdlGrph::InkBox, std::less<>>>();
    return [font, known](std::string_view text) {
        const auto it = known->find(text);
        if (it != known->end()) return it->second;
        const mdlGrph::InkBox ink = InkOf(font, text);
        known->emplace(std::string(text), ink);
        return ink;
    };
}

mdlGrph::LabelFrame PanelLabelFrame()
{
    return mdlGrph::LabelFrame{};
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
    mdlGrph::TemperatureGrid(s, [this](std::int32_t px, std::int32_t) {
        area_.Line(px, mdlGrph::kFrameBottom, px, 0, kGridColor);
    });
    mdlGrph::PressureGrid(s, [this](std::int32_t py, double) {
        area_.Line(mdlGrph::kFrameLeft, py, mdlGrph::kFrameLeft + mdlGrph::kAxisWidth, py,
                   kGridColor);
    });
    if (!measureFont_ || *measureFont_ != area_.Font()) {
        measureFont_ = area_.Font();
        measure_ = InkMeasure(area_.Font());
    }
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, PanelLabelFrame(), measure_)) {
        area_.SetTextPos(l.x, l.y);
        area_.Print(QString::fromStdString(l.text));
    }
    gridSettings_ = s;
    area_.Refresh();
}

void GraphPanel::GrphPlotPoint(const SystemSettings& s, const AppState& st,
                               std::int32_t temperature, double pressure,
                               std::string_view readout, std::optional<std::string_view> typed)
{
    if (st.grphVisible == 0) return;
    grphColor = LiquidColor(st.curLiquid);
    std::int32_t x, y, px, py;
    const bool mapped = mdlGrph::GrphScale(s, temperature, pressure, x, y);
    mdlGrph::GrphPixel(x, y, px, py);
    Record(s, st, temperature, pressure, readout, mapped, px, py, typed);
    if (!mapped) return;
    FillSquare(area_, px, py, kNewestColor);
    FillSquare(area_, grphLastX, grphLastY, grphColor);
    grphLastX = px;
    grphLastY = py;
    area_.Refresh();
}

void GraphPanel::Record(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                        double pressure, std::string_view readout, bool mapped, std::int32_t px,
                        std::int32_t py, std::optional<std::string_view> typed)
{
    points_.Add(mdlGrph::MakePoint(s, st.curLiquid, temperature, pressure, readout, mapped, px, py,
                                   dataBook_, typed));
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
