#include "desktop/graph/GraphReport.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <string_view>

#include "desktop/graph/GraphPanel.h"
#include "desktop/platform/Fonts.h"

namespace graph {

namespace {

QFont LabelFont() { return platform::ProportionalFont(render::kReportLabelPixels); }
QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QRgb ToQt(render::Pixel c) { return qRgb(render::RedOf(c), render::GreenOf(c), render::BlueOf(c)); }

// Placed as the browser places it, so that both faces print the texts alike.
void Print(QPainter& p, const render::ReportText& t)
{
    const QString text = Text(t.text);
    p.setFont(platform::ProportionalFont(t.pixels, t.bold));
    const QFontMetrics fm = p.fontMetrics();
    switch (t.place) {
    case render::ReportText::TopLeft:
        // The grid labels were placed by their ink measured from this corner (InkOf).
        p.drawText(QPoint(t.x, t.y + fm.ascent()), text);
        break;
    case render::ReportText::CentredTop:
        p.drawText(QRect(t.x, t.y, t.w, t.h), Qt::AlignHCenter | Qt::AlignTop, text);
        break;
    case render::ReportText::CentredUpwards:
        p.save();
        p.translate(t.x + t.w / 2.0, t.y + t.h / 2.0);
        p.rotate(-90);
        p.drawText(QRectF(-t.h / 2.0, -t.w / 2.0, t.h, t.w), Qt::AlignCenter, text);
        p.restore();
        break;
    default: // MiddleLeft
        p.drawText(QPoint(t.x, t.y - fm.height() / 2 + fm.ascent()), text);
        break;
    }
}

} // namespace

std::vector<int> ReportLegendWidths(const mdlGrph::PlotRecord& record)
{
    // Rounded up, as the browser rounds its canvas's measure: a line never runs past the
    // room the legend gave it.
    const QFontMetricsF fm(LabelFont());
    std::vector<int> widths;
    for (const render::LegendItem& it : render::LegendItems(record))
        widths.push_back(static_cast<int>(std::ceil(fm.horizontalAdvance(Text(it.text)))));
    return widths;
}

ReportLayout ReportLayoutFor(const mdlGrph::PlotRecord& record)
{
    ReportLayout l;
    l.panel = QRect(kReportLeft, kReportTop, mdlGrph::kPanelWidth * kReportScale, mdlGrph::kPanelHeight * kReportScale);
    const std::vector<int> widths = ReportLegendWidths(record);
    // Without a grid the core still boxes the titles, wherever the axes' ranges lie.
    for (const render::ReportText& t : render::MakeReport(record, SystemSettings{}, {}, widths).texts) {
        if (t.place == render::ReportText::CentredTop) l.temperatureTitle = QRect(t.x, t.y, t.w, t.h);
        if (t.place == render::ReportText::CentredUpwards) l.pressureTitle = QRect(t.x, t.y, t.w, t.h);
    }
    std::vector<render::LegendItem> items = render::LegendItems(record);
    render::PlaceLegend(items, widths);
    for (const render::LegendItem& it : items)
        l.legend.push_back({QRect(it.x, it.y, render::kLegendSwatch, render::kLegendSwatch), ToQt(it.color),
                            it.shape, Text(it.text)});
    return l;
}

mdlGrph::LabelFrame ReportLabelFrame()
{
    return render::ReportLabelFrame();
}

mdlGrph::MeasureInk ReportInkMeasure()
{
    return InkMeasure(LabelFont());
}

QImage ReportImage(const mdlGrph::PlotRecord& record, const SystemSettings& s, bool distinct)
{
    const render::Report r = render::MakeReport(record, s, ReportInkMeasure(), ReportLegendWidths(record), distinct);
    // The core's bytes are R, G, B, A in order; the copy owns its pixels.
    QImage image = QImage(reinterpret_cast<const uchar*>(r.pixels.data()), kReportWidth, kReportHeight,
                          kReportWidth * 4, QImage::Format_RGBA8888)
                       .convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(kReportDotsPerMetre);
    image.setDotsPerMeterY(kReportDotsPerMetre);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(Qt::black);
    for (const render::ReportText& t : r.texts) Print(p, t);
    return image;
}

} // namespace graph
