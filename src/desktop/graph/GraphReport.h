#pragma once
// The graph as a report picture: the panel drawn afresh at three times its resolution from
// the recorded points, with axis titles in the current units and a legend of the liquids.
// Pixel art stays blocky (each panel pixel becomes a 3 × 3 block); text is drawn from the
// font at three times its size, so it stays sharp.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <utility>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/settings/SystemSettings.h"

namespace graph {

constexpr int kReportScale = 3;
// Where the panel's top-left corner lies in the picture, and the picture's size: margins
// around the panel hold the legend, the labels that stick out, and the axis titles.
constexpr int kReportLeft = 60;
constexpr int kReportTop = 90;
constexpr int kReportWidth = kReportLeft + mdlGrph::kPanelWidth * kReportScale + 45;
constexpr int kReportHeight = kReportTop + mdlGrph::kPanelHeight * kReportScale + 70;

struct ReportLayout {
    QRect panel;            // the panel, scaled
    QRect temperatureTitle; // below the panel
    QRect pressureTitle;    // left of the panel, the title reading upwards
    // The legend: the newest point's red swatch first, then one swatch per run of the
    // exported points (mdlGrph::LegendEntries), each drawn as its points' marker.
    struct Item {
        QRect swatch;
        QRgb color;
        int shape;
        QString text;
    };
    std::vector<Item> legend;
};

// The marker of a shape (mdlGrph::MarkerShape) in the 3 × 3 cells of r.
void DrawMarker(QPainter& p, const QRect& r, QRgb color, int shape);

// The PNG's resolution: three times the screen's 96 dpi, in dots per metre, so that the
// picture pastes at the size of the panel.
constexpr int kReportDotsPerMetre = 11339; // 288 dpi, as render::kReportDotsPerMetre
ReportLayout ReportLayoutFor(const mdlGrph::PlotRecord& record);

// Where the picture's grid labels go: centred on their lines, clear of the legend and the
// titles; and the ink of its label font.
mdlGrph::LabelFrame ReportLabelFrame();
mdlGrph::MeasureInk ReportInkMeasure();

// The picture of the record on the grid of settings s (the grid's ranges and the axis
// titles' units come from s; the points keep the positions they were plotted at).
QImage ReportImage(const mdlGrph::PlotRecord& record, const SystemSettings& s);

} // namespace graph
