#include "graph/GraphReport.h"

#include <QFontMetrics>
#include <QPainter>
#include <array>

#include "graph/GraphPanel.h"
#include "model/NumText.h"
#include "platform/Fonts.h"

namespace graph {

namespace {

constexpr int kLabelPixels = 9 * kReportScale;
constexpr int kTitlePixels = 30;
constexpr int kSwatch = 24;
constexpr int kSwatchGap = 8;    // between a swatch and its name
constexpr int kLegendGap = 36;   // between two entries
constexpr int kLegendTop = 6;
constexpr int kLegendRow = 30;   // from one row of entries to the next
constexpr int kLegendRows = 2;   // rows kept clear of the labels

QFont LabelFont() { return platform::ProportionalFont(kLabelPixels); }
QFont TitleFont() { return platform::ProportionalFont(kTitlePixels, true); }
QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The scaled block of a panel pixel box from (x, y), w × h panel pixels; empty when it
// lies wholly off the panel (positions can be anywhere in 32 bits).
QRect Block(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    if (x + w <= 0 || y + h <= 0 || x >= mdlGrph::kPanelWidth || y >= mdlGrph::kPanelHeight)
        return {};
    return QRect(kReportLeft + static_cast<int>(x) * kReportScale,
                 kReportTop + static_cast<int>(y) * kReportScale,
                 static_cast<int>(w) * kReportScale, static_cast<int>(h) * kReportScale);
}

// Text with its top-left corner at (x, y), as the panel prints.
void PrintAt(QPainter& p, int x, int y, const QString& text)
{
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

} // namespace

mdlGrph::LabelFrame ReportLabelFrame()
{
    mdlGrph::LabelFrame f;
    f.scale = kReportScale;
    f.originX = kReportLeft;
    f.originY = kReportTop;
    f.centred = true;
    f.gap = 3 * kReportScale;
    f.bounds = {kReportLeft, kLegendTop + (kLegendRows - 1) * kLegendRow + kSwatch + 8, kReportWidth - 4,
                kReportTop + mdlGrph::kPanelHeight * kReportScale + 12};
    return f;
}

mdlGrph::MeasureInk ReportInkMeasure()
{
    return InkMeasure(LabelFont());
}

void DrawMarker(QPainter& p, const QRect& r, QRgb color, int shape)
{
    if (r.isEmpty()) return;
    const QColor c = QColor::fromRgb(color);
    const int w = r.width() / 3, h = r.height() / 3;
    for (int cy = 0; cy < 3; ++cy)
        for (int cx = 0; cx < 3; ++cx) {
            const bool centre = cx == 1 && cy == 1;
            const bool inked = shape == 1 ? !centre : shape == 2 ? (cx == 1 || cy == 1) : true;
            if (!inked) continue;
            // The last cell of a row or column takes what division left over.
            const int x0 = r.left() + cx * w, y0 = r.top() + cy * h;
            const int x1 = cx == 2 ? r.right() + 1 : x0 + w, y1 = cy == 2 ? r.bottom() + 1 : y0 + h;
            p.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), c);
        }
}

ReportLayout ReportLayoutFor(const mdlGrph::PlotRecord& record)
{
    ReportLayout l;
    l.panel = QRect(kReportLeft, kReportTop, mdlGrph::kPanelWidth * kReportScale,
                    mdlGrph::kPanelHeight * kReportScale);
    // Titles centred on the plot frame, not on the label strips.
    const int frameLeft = kReportLeft + mdlGrph::kFrameLeft * kReportScale;
    const int frameWidth = mdlGrph::kAxisWidth * kReportScale;
    const int frameHeight = mdlGrph::kFrameBottom * kReportScale;
    l.temperatureTitle = QRect(frameLeft, l.panel.bottom() + 12, frameWidth, kReportHeight - l.panel.bottom() - 16);
    l.pressureTitle = QRect(4, kReportTop, kReportLeft - 12, frameHeight);

    std::vector<ReportLayout::Item> items;
    bool any = false;
    for (std::size_t i = 0; i < record.Size() && !any; ++i) any = record.Exported(i);
    if (any) items.push_back({{}, kNewestColor, 0, Text(mdlGrph::kNewestPointText)});
    for (const mdlGrph::LegendEntry& e : mdlGrph::LegendEntries(record))
        items.push_back({{}, LiquidColor(e.liquid), e.shape, Text(e.text)});
    // Rows as wide as the panel, each flush with its right edge; an entry that does not
    // fit its row starts the next one.
    const QFontMetrics fm(LabelFont());
    const auto width = [&](const ReportLayout::Item& it) {
        return kSwatch + kSwatchGap + fm.horizontalAdvance(it.text);
    };
    std::size_t first = 0;
    for (int row = 0; first < items.size(); ++row) {
        int used = width(items[first]);
        std::size_t end = first + 1;
        while (end < items.size() && used + kLegendGap + width(items[end]) <= l.panel.width())
            used += kLegendGap + width(items[end++]);
        int x = l.panel.right() + 1 - used;
        for (std::size_t k = first; k < end; ++k) {
            items[k].swatch = QRect(x, kLegendTop + row * kLegendRow, kSwatch, kSwatch);
            x += width(items[k]) + kLegendGap;
        }
        first = end;
    }
    l.legend = std::move(items);
    return l;
}

QImage ReportImage(const mdlGrph::PlotRecord& record, const SystemSettings& s)
{
    const ReportLayout layout = ReportLayoutFor(record);
    QImage image(kReportWidth, kReportHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(kReportDotsPerMetre);
    image.setDotsPerMeterY(kReportDotsPerMetre);
    image.fill(kBackground);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    // Grid and points: the panel's pixels, each a 3 × 3 block, cut off at the panel's edge.
    p.setClipRect(layout.panel);
    mdlGrph::TemperatureGrid(s, [&](std::int32_t px, std::int32_t) {
        p.fillRect(Block(px, 0, 1, mdlGrph::kFrameBottom + 1), QColor::fromRgb(kGridColor));
    });
    mdlGrph::PressureGrid(s, [&](std::int32_t py, double) {
        p.fillRect(Block(mdlGrph::kFrameLeft, py, mdlGrph::kAxisWidth + 1, 1), QColor::fromRgb(kGridColor));
    });
    // Only the points the exports hold, each with its run's marker; the newest is red.
    std::size_t newest = record.Size();
    for (std::size_t i = record.Size(); i-- > 0;)
        if (record.Exported(i)) { newest = i; break; }
    const std::vector<mdlGrph::LegendEntry> runs = mdlGrph::LegendEntries(record);
    for (std::size_t i = 0; i < record.Size(); ++i) {
        const mdlGrph::PlottedPoint& pt = record.At(i);
        if (!pt.mapped || !record.Exported(i)) continue;
        const QRgb color = i == newest ? kNewestColor : LiquidColor(pt.liquid);
        DrawMarker(p, Block(pt.px, pt.py, 3, 3), color, mdlGrph::MarkerShape(runs, pt));
    }
    p.setClipping(false);

    // Labels centred on their lines; those that stick out of the panel show whole.
    p.setPen(Qt::black);
    p.setFont(LabelFont());
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, ReportLabelFrame(), ReportInkMeasure()))
        PrintAt(p, l.x, l.y, QString::fromStdString(l.text));

    for (const ReportLayout::Item& it : layout.legend) {
        DrawMarker(p, it.swatch, it.color, it.shape);
        PrintAt(p, it.swatch.right() + 1 + kSwatchGap,
                it.swatch.center().y() - p.fontMetrics().height() / 2, it.text);
    }

    p.setFont(TitleFont());
    p.drawText(layout.temperatureTitle, Qt::AlignHCenter | Qt::AlignTop,
               Text(mdlGrph::TemperatureAxisTitle(s.temperatureUnit)));
    const QRect& t = layout.pressureTitle;
    p.save();
    p.translate(t.center().x(), t.center().y());
    p.rotate(-90);
    p.drawText(QRect(-t.height() / 2, -t.width() / 2, t.height(), t.width()), Qt::AlignCenter,
               Text(mdlGrph::PressureAxisTitle(s.pressureUnit)));
    p.restore();
    return image;
}

} // namespace graph
