#pragma once
// The graph as a report picture: the core lays it out and draws its pixels (the panel at
// three times its resolution, each panel pixel a 3 × 3 block, with the legend's markers);
// the desktop measures the texts in its own font and prints them, sharp, on those pixels,
// as the browser does.
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/render/ReportPicture.h"
#include "core/settings/SystemSettings.h"

namespace graph {

constexpr int kReportScale = render::kReportScale;
constexpr int kReportLeft = render::kReportLeft; // the panel's top-left corner in the picture
constexpr int kReportTop = render::kReportTop;
constexpr int kReportWidth = render::kReportWidth;
constexpr int kReportHeight = render::kReportHeight;
// The PNG's resolution, 288 dpi, so that the picture pastes at the size of the panel.
constexpr int kReportDotsPerMetre = render::kReportDotsPerMetre;

// Where the picture puts its parts, as the core places them with the desktop's font.
struct ReportLayout {
    QRect panel;            // the panel, scaled
    QRect temperatureTitle; // below the panel
    QRect pressureTitle;    // left of the panel, the title reading upwards
    // The newest point's red marker first, then one per run of the exported points.
    struct Item {
        QRect swatch;
        QRgb color;
        int shape;
        QString text;
    };
    std::vector<Item> legend;
};
ReportLayout ReportLayoutFor(const mdlGrph::PlotRecord& record);

// The widths of the legend's lines (render::LegendItems) in the label font.
std::vector<int> ReportLegendWidths(const mdlGrph::PlotRecord& record);

// Where the picture's grid labels go, and the ink of its label font.
mdlGrph::LabelFrame ReportLabelFrame();
mdlGrph::MeasureInk ReportInkMeasure();

// The picture of the record on the grid of settings s (the grid's ranges and the axis
// titles' units come from s; the points keep the positions they were plotted at).
// distinct: the colour-vision choice of markers, as the panel shows them.
QImage ReportImage(const mdlGrph::PlotRecord& record, const SystemSettings& s, bool distinct = false);

} // namespace graph
