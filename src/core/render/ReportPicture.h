#pragma once
// The graph as a report picture without its texts: the panel's grid and the exported points
// at three times the panel's resolution (each panel pixel a 3 × 3 block) inside white
// margins, and the legend's markers; the texts (grid labels, legend lines, axis titles) are
// listed with where and how to draw them, for the face to print in the system's font, sharp.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/render/Pixels.h"
#include "core/settings/SystemSettings.h"

namespace render {

constexpr int kReportScale = 3;
constexpr int kReportLeft = 60; // the panel's top-left corner in the picture
constexpr int kReportTop = 90;
constexpr int kReportWidth = kReportLeft + mdlGrph::kPanelWidth * kReportScale + 45;
constexpr int kReportHeight = kReportTop + mdlGrph::kPanelHeight * kReportScale + 70;
constexpr int kReportLabelPixels = 9 * kReportScale; // grid labels and legend lines
constexpr int kReportTitlePixels = 30;               // axis titles, bold
// The PNG's resolution: three times the screen's 96 dpi, so that the picture pastes at
// the size of the panel.
constexpr int kReportDotsPerMetre = 11339; // 288 dpi

// The legend: a row of markers with their lines from the panel's right edge leftwards, a
// line that does not fit its row starting the next one.
constexpr int kLegendSwatch = 24;
constexpr int kLegendSwatchGap = 8; // between a marker and its line
constexpr int kLegendGap = 36;      // between two entries
constexpr int kLegendTop = 6;
constexpr int kLegendRow = 30;  // from one row to the next
constexpr int kLegendRows = 2;  // rows kept clear of the labels

struct ReportText {
    enum Place : std::int32_t {
        TopLeft = 0,        // the text's top-left corner at (x, y)
        CentredTop = 1,     // centred across the box (x, y, w, h), at its top
        CentredUpwards = 2, // turned to read upwards, centred in the box
        MiddleLeft = 3,     // starting at x, centred vertically on y
    };
    std::string text;
    std::int32_t place = TopLeft;
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    std::int32_t pixels = kReportLabelPixels; // font size
    bool bold = false;
};

struct Report {
    std::vector<Pixel> pixels; // kReportWidth × kReportHeight
    std::vector<ReportText> texts;
};

// One legend entry: the newest point's red marker when any point is exported, then one
// per run of the exported points (mdlGrph::LegendEntries).
struct LegendItem {
    Pixel color = 0;
    int shape = 0;
    std::string text;
    std::int32_t x = 0, y = 0; // the marker's top-left corner
};
// How markers tell points apart: the report's own shapes for the runs of one liquid, the
// panel's squares, or the colour-vision choice's shape for each liquid (DistinctShape).
enum class MarkerStyle { Runs, Panel, Distinct };
std::vector<LegendItem> LegendItems(const mdlGrph::PlotRecord& record, MarkerStyle style = MarkerStyle::Runs,
                                    i18n::Lang lang = i18n::Lang::Ja);
// Places the items' markers; textWidths[k] is the width of item k's line at
// kReportLabelPixels, as the face measures it (missing ones count as 0).
void PlaceLegend(std::vector<LegendItem>& items, const std::vector<int>& textWidths);

// Where the picture's grid labels go: centred on their lines, clear of the legend and the
// titles.
mdlGrph::LabelFrame ReportLabelFrame();

// A marker of a shape (mdlGrph::MarkerShape) in the 3 × 3 cells of the box (x, y, w, h),
// cut off at the clip box (right and bottom exclusive).
void DrawMarker(std::vector<Pixel>& px, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                Pixel color, int shape, const mdlGrph::InkBox& clip);

// labelInk: the ink of the face's label font at kReportLabelPixels; legendWidths as for
// PlaceLegend, measured on the legend of the same language.
Report MakeReport(const mdlGrph::PlotRecord& record, const SystemSettings& s, const mdlGrph::MeasureInk& labelInk,
                  const std::vector<int>& legendWidths, bool distinct = false, i18n::Lang lang = i18n::Lang::Ja);

// The PNG with a pHYs chunk of kReportDotsPerMetre placed before its first IDAT (any pHYs
// it had is dropped); empty when the bytes are no PNG.
std::vector<std::uint8_t> PngWithResolution(const std::uint8_t* png, std::size_t size);

} // namespace render
