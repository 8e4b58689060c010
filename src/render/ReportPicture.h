#pragma once
// The graph as a report picture without its texts: the panel's grid and points at three
// times the panel's resolution (each panel pixel a 3 × 3 block) inside white margins, and
// the legend's swatches; the texts (grid labels, legend names, axis titles) are listed with
// where and how to draw them, for the face to print in the system's font, sharp.
#include <cstdint>
#include <string>
#include <vector>

#include "graph/mdlGrph.h"
#include "render/Pixels.h"
#include "settings/SystemSettings.h"

namespace render {

constexpr int kReportScale = 3;
constexpr int kReportLeft = 60; // the panel's top-left corner in the picture
constexpr int kReportTop = 90;
constexpr int kReportWidth = kReportLeft + mdlGrph::kPanelWidth * kReportScale + 45;
constexpr int kReportHeight = kReportTop + mdlGrph::kPanelHeight * kReportScale + 70;
constexpr int kReportLabelPixels = 9 * kReportScale; // grid labels and legend names
constexpr int kReportTitlePixels = 30;               // axis titles, bold

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

// nameWidth[k]: the width in pixels of the liquid k's name at kReportLabelPixels, as the face
// measures it; the legend's entries are laid out leftwards from the panel's right edge.
Report MakeReport(const mdlGrph::PlotRecord& record, const SystemSettings& s, const int nameWidth[3]);

} // namespace render
