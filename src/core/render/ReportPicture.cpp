#include "core/render/ReportPicture.h"

#include <algorithm>
#include <array>

#include "core/render/GraphPicture.h"

namespace render {

namespace {

constexpr int kPanelW = mdlGrph::kPanelWidth * kReportScale;
constexpr int kPanelH = mdlGrph::kPanelHeight * kReportScale;
constexpr mdlGrph::InkBox kWhole{0, 0, kReportWidth, kReportHeight};
constexpr mdlGrph::InkBox kPanelClip{kReportLeft, kReportTop, kReportLeft + kPanelW, kReportTop + kPanelH};

void Fill(std::vector<Pixel>& px, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, Pixel c,
          const mdlGrph::InkBox& clip)
{
    const std::int64_t x0 = std::max<std::int64_t>(x, clip.left), x1 = std::min<std::int64_t>(x + w, clip.right);
    const std::int64_t y0 = std::max<std::int64_t>(y, clip.top), y1 = std::min<std::int64_t>(y + h, clip.bottom);
    for (std::int64_t row = y0; row < y1; ++row)
        for (std::int64_t col = x0; col < x1; ++col) px[static_cast<std::size_t>(row * kReportWidth + col)] = c;
}

// A box of panel pixels, scaled, cut off at the panel's edge; positions may be anywhere in
// 32 bits.
bool PanelBlock(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, std::int64_t& bx, std::int64_t& by)
{
    if (x + w <= 0 || y + h <= 0 || x >= mdlGrph::kPanelWidth || y >= mdlGrph::kPanelHeight) return false;
    bx = kReportLeft + x * kReportScale;
    by = kReportTop + y * kReportScale;
    return true;
}

} // namespace

void DrawMarker(std::vector<Pixel>& px, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                Pixel color, int shape, const mdlGrph::InkBox& clip)
{
    const int n = MarkCells(shape);
    const std::int64_t cw = w / n, ch = h / n;
    for (int cy = 0; cy < n; ++cy)
        for (int cx = 0; cx < n; ++cx) {
            if (!MarkInked(shape, cx, cy)) continue;
            // The last cell of a row or column takes what division left over.
            const std::int64_t x0 = x + cx * cw, y0 = y + cy * ch;
            const std::int64_t x1 = cx == n - 1 ? x + w : x0 + cw, y1 = cy == n - 1 ? y + h : y0 + ch;
            Fill(px, x0, y0, x1 - x0, y1 - y0, color, clip);
        }
}

std::vector<LegendItem> LegendItems(const mdlGrph::PlotRecord& record, MarkerStyle style, i18n::Lang lang)
{
    std::vector<LegendItem> items;
    bool any = false;
    for (std::size_t i = 0; i < record.Size() && !any; ++i) any = record.Exported(i);
    if (any)
        items.push_back({kNewestColor, style == MarkerStyle::Distinct ? int{kMarkRing} : int{kMarkSquare},
                         std::string(mdlGrph::NewestPointText(lang))});
    for (const mdlGrph::LegendEntry& e : mdlGrph::LegendEntries(record, lang)) {
        switch (style) {
        case MarkerStyle::Runs: items.push_back({LiquidColor(e.liquid), e.shape, e.text}); break;
        case MarkerStyle::Panel: items.push_back({LiquidColor(e.liquid), kMarkSquare, e.text}); break;
        case MarkerStyle::Distinct: items.push_back({DistinctColor(e.liquid), DistinctShape(e.liquid), e.text}); break;
        }
    }
    return items;
}

void PlaceLegend(std::vector<LegendItem>& items, const std::vector<int>& textWidths)
{
    const auto width = [&](std::size_t k) {
        const int text = k < textWidths.size() ? std::clamp(textWidths[k], 0, kReportWidth) : 0;
        return kLegendSwatch + kLegendSwatchGap + text;
    };
    std::size_t first = 0;
    for (int row = 0; first < items.size(); ++row) {
        int used = width(first);
        std::size_t end = first + 1;
        while (end < items.size() && used + kLegendGap + width(end) <= kPanelW) used += kLegendGap + width(end++);
        int x = kReportLeft + kPanelW - used;
        for (std::size_t k = first; k < end; ++k) {
            items[k].x = x;
            items[k].y = kLegendTop + row * kLegendRow;
            x += width(k) + kLegendGap;
        }
        first = end;
    }
}

mdlGrph::LabelFrame ReportLabelFrame()
{
    mdlGrph::LabelFrame f;
    f.scale = kReportScale;
    f.originX = kReportLeft;
    f.originY = kReportTop;
    f.centred = true;
    f.gap = 3 * kReportScale;
    f.bounds = {kReportLeft, kLegendTop + (kLegendRows - 1) * kLegendRow + kLegendSwatch + 8, kReportWidth - 4,
                kReportTop + kPanelH + 12};
    return f;
}

Report MakeReport(const mdlGrph::PlotRecord& record, const SystemSettings& s, const mdlGrph::MeasureInk& labelInk,
                  const std::vector<int>& legendWidths, bool distinct, i18n::Lang lang)
{
    Report r;
    r.pixels.assign(static_cast<std::size_t>(kReportWidth) * kReportHeight, kGraphBackground);
    std::int64_t bx = 0, by = 0;
    mdlGrph::TemperatureGrid(s, [&](std::int32_t px, std::int32_t) {
        if (PanelBlock(px, 0, 1, mdlGrph::kFrameBottom + 1, bx, by))
            Fill(r.pixels, bx, by, kReportScale, (mdlGrph::kFrameBottom + 1) * kReportScale, kGridColor, kPanelClip);
    });
    mdlGrph::PressureGrid(s, [&](std::int32_t py, double) {
        if (PanelBlock(mdlGrph::kFrameLeft, py, mdlGrph::kAxisWidth + 1, 1, bx, by))
            Fill(r.pixels, bx, by, (mdlGrph::kAxisWidth + 1) * kReportScale, kReportScale, kGridColor, kPanelClip);
    });
    // Only the points the exports hold, each with its run's marker; the newest is red.
    std::size_t newest = record.Size();
    for (std::size_t i = record.Size(); i-- > 0;)
        if (record.Exported(i)) {
            newest = i;
            break;
        }
    const std::vector<mdlGrph::LegendEntry> runs = mdlGrph::LegendEntries(record);
    for (std::size_t i = 0; i < record.Size(); ++i) {
        const mdlGrph::PlottedPoint& pt = record.At(i);
        if (!pt.mapped || !record.Exported(i) || !PanelBlock(pt.px, pt.py, 3, 3, bx, by)) continue;
        if (!distinct) {
            DrawMarker(r.pixels, bx, by, 3 * kReportScale, 3 * kReportScale,
                       i == newest ? kNewestColor : LiquidColor(pt.liquid), mdlGrph::MarkerShape(runs, pt), kPanelClip);
            continue;
        }
        // As the panel draws them with the choice on, at the picture's scale.
        const std::int64_t d = (kDistinctSide - 3) / 2 * kReportScale;
        DrawMarker(r.pixels, bx - d, by - d, kDistinctSide * kReportScale, kDistinctSide * kReportScale,
                   i == newest ? kNewestColor : DistinctColor(pt.liquid), DistinctShape(pt.liquid), kPanelClip);
        if (i == newest) {
            const std::int64_t ring = (kRingSide - 3) / 2 * kReportScale;
            DrawMarker(r.pixels, bx - ring, by - ring, kRingSide * kReportScale, kRingSide * kReportScale, kNewestColor,
                       kMarkRing, kPanelClip);
        }
    }

    if (labelInk)
        for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, ReportLabelFrame(), labelInk))
            r.texts.push_back({l.text, ReportText::TopLeft, l.x, l.y, 0, 0});

    std::vector<LegendItem> legend = LegendItems(record, distinct ? MarkerStyle::Distinct : MarkerStyle::Runs, lang);
    PlaceLegend(legend, legendWidths);
    for (const LegendItem& it : legend) {
        DrawMarker(r.pixels, it.x, it.y, kLegendSwatch, kLegendSwatch, it.color, it.shape, kWhole);
        r.texts.push_back({it.text, ReportText::MiddleLeft, it.x + kLegendSwatch + kLegendSwatchGap,
                           it.y + (kLegendSwatch - 1) / 2, 0, 0});
    }

    // Axis titles centred on the plot frame, not on the label strips.
    const int frameLeft = kReportLeft + mdlGrph::kFrameLeft * kReportScale;
    const int panelBottom = kReportTop + kPanelH - 1;
    r.texts.push_back({mdlGrph::TemperatureAxisTitle(s.temperatureUnit, lang), ReportText::CentredTop, frameLeft,
                       panelBottom + 12, mdlGrph::kAxisWidth * kReportScale, kReportHeight - panelBottom - 16,
                       kReportTitlePixels, true});
    r.texts.push_back({mdlGrph::PressureAxisTitle(s.pressureUnit, lang), ReportText::CentredUpwards, 4, kReportTop,
                       kReportLeft - 12, mdlGrph::kFrameBottom * kReportScale, kReportTitlePixels, true});
    return r;
}

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Be32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

} // namespace

std::vector<std::uint8_t> PngWithResolution(const std::uint8_t* png, std::size_t size)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png == nullptr || size < 8 || !std::equal(kSignature, kSignature + 8, png)) return {};
    std::vector<std::uint8_t> out(png, png + 8);
    out.reserve(size + 21);
    bool placed = false;
    std::size_t at = 8;
    while (at < size) {
        if (size - at < 12) return {};
        const std::uint32_t length = Be32(png + at);
        if (length > size - at - 12) return {};
        const std::uint8_t* type = png + at + 4;
        const std::size_t whole = 12 + std::size_t{length};
        const bool idat = std::equal(type, type + 4, "IDAT");
        if (idat && !placed) {
            std::vector<std::uint8_t> chunk = {'p', 'H', 'Y', 's'};
            PutBe32(chunk, kReportDotsPerMetre);
            PutBe32(chunk, kReportDotsPerMetre);
            chunk.push_back(1); // per metre
            PutBe32(out, 9);
            out.insert(out.end(), chunk.begin(), chunk.end());
            PutBe32(out, Crc32(chunk.data(), chunk.size()));
            placed = true;
        }
        if (!std::equal(type, type + 4, "pHYs")) out.insert(out.end(), png + at, png + at + whole);
        at += whole;
        if (std::equal(type, type + 4, "IEND")) break;
    }
    if (!placed) return {};
    return out;
}

} // namespace render
