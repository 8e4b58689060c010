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
constexpr int kLegendTop = 16;

QFont LabelFont() { return platform::ProportionalFont(kLabelPixels); }
QFont TitleFont() { return platform::ProportionalFont(kTitlePixels, true); }
QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Liquid slot of a point's liquid: -1 and unknown values are DiethylEther, as for the model.
int Slot(std::int32_t liquid) { return liquid == 0 ? 0 : liquid == 1 ? 1 : 2; }

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
    f.bounds = {kReportLeft, kLegendTop + kSwatch + 8, kReportWidth - 4,
                kReportTop + mdlGrph::kPanelHeight * kReportScale + 12};
    return f;
}

mdlGrph::MeasureInk ReportInkMeasure()
{
    return InkMeasure(LabelFont());
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

    std::array<bool, 3> has{};
    for (std::size_t i = 0; i < record.Size(); ++i)
        if (record.Exported(i)) has[static_cast<std::size_t>(Slot(record.At(i).liquid))] = true;
    // Entries from the right edge of the panel leftwards, then placed in the selector's order.
    const QFontMetrics fm(LabelFont());
    int width = 0;
    for (int k = 0; k < 3; ++k)
        if (has[static_cast<std::size_t>(k)])
            width += (width ? kLegendGap : 0) + kSwatch + kSwatchGap
                + fm.horizontalAdvance(Text(mdlGrph::LiquidName(k)));
    int x = l.panel.right() + 1 - width;
    for (int k = 0; k < 3; ++k) {
        if (!has[static_cast<std::size_t>(k)]) continue;
        l.legend.push_back({k, QRect(x, kLegendTop, kSwatch, kSwatch)});
        x += kSwatch + kSwatchGap + fm.horizontalAdvance(Text(mdlGrph::LiquidName(k))) + kLegendGap;
    }
    return l;
}

QImage ReportImage(const mdlGrph::PlotRecord& record, const SystemSettings& s)
{
    const ReportLayout layout = ReportLayoutFor(record);
    QImage image(kReportWidth, kReportHeight, QImage::Format_RGB32);
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
    // Only the points the exports hold; the newest of them is the red one.
    std::size_t newest = record.Size();
    for (std::size_t i = record.Size(); i-- > 0;)
        if (record.Exported(i)) { newest = i; break; }
    for (std::size_t i = 0; i < record.Size(); ++i) {
        const mdlGrph::PlottedPoint& pt = record.At(i);
        if (!pt.mapped || !record.Exported(i)) continue;
        const QRgb color = i == newest ? kNewestColor : LiquidColor(pt.liquid);
        p.fillRect(Block(pt.px, pt.py, 3, 3), QColor::fromRgb(color));
    }
    p.setClipping(false);

    // Labels centred on their lines; those that stick out of the panel show whole.
    p.setPen(Qt::black);
    p.setFont(LabelFont());
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, ReportLabelFrame(), ReportInkMeasure()))
        PrintAt(p, l.x, l.y, QString::fromStdString(l.text));

    for (const auto& [liquid, swatch] : layout.legend) {
        p.fillRect(swatch, QColor::fromRgb(LiquidColor(liquid)));
        PrintAt(p, swatch.right() + 1 + kSwatchGap,
                swatch.center().y() - p.fontMetrics().height() / 2,
                Text(mdlGrph::LiquidName(liquid)));
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
