#pragma once
// The graph panel as pixels: the white panel, the grid lines and the plotted points, with
// the points recorded for the table and the report picture. The grid's label texts and
// their places are listed instead of drawn, for the face to print in the system's font.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/mdlGrph.h"
#include "main/AppState.h"
#include "render/Pixels.h"
#include "settings/SystemSettings.h"

namespace render {

constexpr Pixel kGraphBackground = Rgb(255, 255, 255);
constexpr Pixel kGridColor = Rgb(192, 192, 192);
constexpr Pixel kNewestColor = Rgb(255, 0, 0);
// Marker colour of earlier points: Water, Ethanol, and DiethylEther for anything else.
Pixel LiquidColor(std::int32_t liquid);

class GraphPicture {
public:
    static constexpr int kWidth = mdlGrph::kPanelWidth;
    static constexpr int kHeight = mdlGrph::kPanelHeight;

    struct Label {
        std::string text;
        std::int32_t x = 0; // the text's top-left corner in panel pixels
        std::int32_t y = 0;
    };

    GraphPicture();

    // Blank panel, no grid, no labels, no points recorded; the next plot repaints no
    // earlier point.
    void GrphClear();
    // Blank panel and the grid of the settings' ranges.
    void GrphRedraw(const SystemSettings& s);
    // Marks (temperature, pressure) in red and turns the previous point to the liquid's
    // colour, while the graph is shown; a point that cannot be mapped is recorded only.
    void GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                       double pressure, std::string_view readout);
    // picGrphCls and picGrphSw.
    void ClearClicked(const SystemSettings& s, const AppState& st);
    void SwitchClicked(const SystemSettings& s, AppState& st);

    const Pixel* Pixels() const { return pixels_.data(); }
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kWidth + x)]; }
    const std::vector<Label>& Labels() const { return labels_; }
    const mdlGrph::PlotRecord& Points() const { return points_; }
    const std::optional<SystemSettings>& GridSettings() const { return gridSettings_; }

    std::int32_t grphLastX = -10; // pixel position of the last point; off the panel at first
    std::int32_t grphLastY = -10;

private:
    void FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Pixel color);

    std::array<Pixel, kWidth * kHeight> pixels_{};
    std::vector<Label> labels_;
    mdlGrph::PlotRecord points_;
    std::optional<SystemSettings> gridSettings_;
};

} // namespace render
