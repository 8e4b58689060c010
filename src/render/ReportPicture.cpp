#include "render/ReportPicture.h"

#include <algorithm>
#include <array>

#include "model/NumText.h"
#include "render/GraphPicture.h"

namespace render {

namespace {

constexpr int kSwatch = 24;
constexpr int kSwatchGap = 8;  // between a swatch and its name
constexpr int kLegendGap = 36; // between two entries
constexpr int kLegendTop = 16;
constexpr int kPanelW = mdlGrph::kPanelWidth * kReportScale;
constexpr int kPanelH = mdlGrph::kPanelHeight * kReportScale;

int Slot(std::int32_t liquid) { return liquid == 0 ? 0 : liquid == 1 ? 1 : 2; }

void Fill(std::vector<Pixel>& px, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Pixel c,
          std::int64_t clipLeft, std::int64_t clipTop, std::int64_t clipRight, std::int64_t clipBottom)
{
    const std::int64_t x0 = std::max(x, clipLeft), x1 = std::min(x + w, clipRight);
    const std::int64_t y0 = std::max(y, clipTop), y1 = std::min(y + h, clipBottom);
    for (std::int64_t row = y0; row < y1; ++row)
        for (std::int64_t col = x0; col < x1; ++col) px[static_cast<std::size_t>(row * kReportWidth + col)] = c;
}

// A box of panel pixels, scaled, cut off at the panel's edge; positions may be anywhere in
// 32 bits.
void PanelBlock(std::vector<Pixel>& px, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Pixel c)
{
    if (x + w <= 0 || y + h <= 0 || x >= mdlGrph::kPanelWidth || y >= mdlGrph::kPanelHeight) return;
    Fill(px, kReportLeft + x * kReportScale, kReportTop + y * kReportScale, w * kReportScale, h * kReportScale, c,
         kReportLeft, kReportTop, kReportLeft + kPanelW, kReportTop + kPanelH);
}

} // namespace

Report MakeReport(const mdlGrph::PlotRecord& record, const SystemSettings& s, const int nameWidth[3])
{
    Report r;
    r.pixels.assign(static_cast<std::size_t>(kReportWidth) * kReportHeight, kGraphBackground);
    mdlGrph::TemperatureGrid(s, [&](std::int32_t px, std::int32_t t) {
        PanelBlock(r.pixels, px, 0, 1, mdlGrph::kFrameBottom + 1, kGridColor);
        r.texts.push_back({numtext::FormatWhole(t), ReportText::TopLeft,
                           kReportLeft + (px - 5) * kReportScale, kReportTop + 325 * kReportScale, 0, 0});
    });
    mdlGrph::PressureGrid(s, [&](std::int32_t py, double value) {
        PanelBlock(r.pixels, mdlGrph::kFrameLeft, py, mdlGrph::kAxisWidth + 1, 1, kGridColor);
        r.texts.push_back({numtext::FormatGeneral(value), ReportText::TopLeft, kReportLeft,
                           kReportTop + (py - 10) * kReportScale, 0, 0});
    });
    const std::size_t n = record.Size();
    std::array<bool, 3> has{};
    for (std::size_t i = 0; i < n; ++i) {
        const mdlGrph::PlottedPoint& pt = record.At(i);
        has[static_cast<std::size_t>(Slot(pt.liquid))] = true;
        if (pt.mapped) PanelBlock(r.pixels, pt.px, pt.py, 3, 3, i + 1 == n ? kNewestColor : LiquidColor(pt.liquid));
    }

    // The legend, from the panel's right edge leftwards, in the selector's order.
    const auto nameW = [&](int k) { return std::clamp(nameWidth ? nameWidth[k] : 0, 0, kReportWidth); };
    int width = 0;
    for (int k = 0; k < 3; ++k)
        if (has[static_cast<std::size_t>(k)]) width += (width ? kLegendGap : 0) + kSwatch + kSwatchGap + nameW(k);
    int x = kReportLeft + kPanelW - width;
    for (int k = 0; k < 3; ++k) {
        if (!has[static_cast<std::size_t>(k)]) continue;
        Fill(r.pixels, x, kLegendTop, kSwatch, kSwatch, LiquidColor(k), 0, 0, kReportWidth, kReportHeight);
        r.texts.push_back({std::string(mdlGrph::LiquidName(k)), ReportText::MiddleLeft, x + kSwatch + kSwatchGap,
                           kLegendTop + kSwatch / 2, 0, 0});
        x += kSwatch + kSwatchGap + nameW(k) + kLegendGap;
    }

    // Axis titles centred on the plot frame, not on the label strips.
    const int frameLeft = kReportLeft + mdlGrph::kFrameLeft * kReportScale;
    const int panelBottom = kReportTop + kPanelH - 1;
    r.texts.push_back({mdlGrph::TemperatureAxisTitle(s.temperatureUnit), ReportText::CentredTop, frameLeft,
                       panelBottom + 12, mdlGrph::kAxisWidth * kReportScale, kReportHeight - panelBottom - 16,
                       kReportTitlePixels, true});
    r.texts.push_back({mdlGrph::PressureAxisTitle(s.pressureUnit), ReportText::CentredUpwards, 4, kReportTop,
                       kReportLeft - 12, mdlGrph::kFrameBottom * kReportScale, kReportTitlePixels, true});
    return r;
}

} // namespace render
