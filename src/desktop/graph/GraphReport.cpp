#include "desktop/graph/GraphReport.h"

#include <QFontMetrics>
#include <QPainter>
#include <array>

#include "desktop/graph/GraphPanel.h"
#include "core/model/NumText.h"
#include "desktop/platform/Fonts.h"
#include "core/render/ReportPicture.h"

namespace graph {

namespace {

constexpr int kLabelPixels = 9 * kReportScale;
constexpr int kTitlePixels = 30;
constexpr int kSwatch = render::kLegendSwatch;
constexpr int kSwatchGap = render::kLegendSwatchGap;

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
    return render::ReportLabelFrame();
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

    std::vector<render::LegendItem> items = render::LegendItems(record);
    const QFontMetrics fm(LabelFont());
    std::vector<int> widths;
    for (const render::LegendItem& it : items) widths.push_back(fm.horizontalAdvance(Text(it.text)));
    render::PlaceLegend(items, widths);
    for (const render::LegendItem& it : items)
        l.legend.push_back({QRect(it.x, it.y, kSwatch, kSwatch), qRgb(render::RedOf(it.color), render::GreenOf(it.color),
                            render::BlueOf(it.color)), it.shape, Text(it.text)});
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
