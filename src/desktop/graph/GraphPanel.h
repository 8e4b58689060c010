#pragma once
// The vapour-pressure graph panel: grid, labels and plotted points drawn into a 315 × 334
// drawing area, and what its erase and show/hide buttons do. The main window owns the
// area and the buttons and calls in here.
#include <QFont>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/graph/mdlGrph.h"
#include "core/app/AppState.h"
#include "desktop/platform/DrawArea.h"
#include "core/settings/SystemSettings.h"

namespace graph {

constexpr QRgb kBackground = qRgb(255, 255, 255);
constexpr QRgb kGridColor = qRgb(192, 192, 192);
constexpr QRgb kNewestColor = qRgb(255, 0, 0);

// Marker colour of earlier points: Water, Ethanol, and DiethylEther for anything else.
QRgb LiquidColor(std::int32_t liquid);

// The pixels text inks when printed in font with its top-left corner at (0, 0), as the
// panel prints it; measured by drawing it.
mdlGrph::InkBox InkOf(const QFont& font, std::string_view text);
// InkOf for one font, remembering each text's answer.
mdlGrph::MeasureInk InkMeasure(const QFont& font);
// Where the panel's labels go: its own places, kept inside the panel.
mdlGrph::LabelFrame PanelLabelFrame();

// Shows the "on" (true) or "off" (false) picture on a button and repaints the window.
using ShowButton = std::function<void(bool on)>;

class GraphPanel {
public:
    // Sets the area's label font; the area should be 315 × 334.
    explicit GraphPanel(platform::DrawArea& area);

    platform::DrawArea& Area() { return area_; }

    // Blank panel, no grid, no points recorded; the next plot repaints no earlier point.
    void GrphClear();
    // Blank panel with the grid and its labels for the current ranges.
    void GrphRedraw(const SystemSettings& s);
    // Marks (temperature, pressure) in red and turns the previous point to the liquid's
    // colour, while the graph is shown. Nothing is drawn for a point that cannot be mapped,
    // but it is recorded all the same, with readout as its pressure's text (the pressure's
    // general form when not given). typed: the temperature box's text when the point came
    // from a keystroke, for telling the points typed through from those meant.
    void GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                       double pressure, std::string_view readout = {},
                       std::optional<std::string_view> typed = std::nullopt);
    // Whether the points plotted from now on come from the data-book values.
    void SetDataBook(bool dataBook) { dataBook_ = dataBook; }
    // Whether the exports hold the typed-through points too.
    void SetIncludeTypedThrough(bool include) { points_.SetIncludeTypedThrough(include); }

    // The points plotted since the last erase.
    const mdlGrph::PlotRecord& Points() const { return points_; }
    // The settings the panel's grid was drawn with; nothing while the panel has no grid.
    const std::optional<SystemSettings>& GridSettings() const { return gridSettings_; }

    // picGrphCls: flashes the button and erases the points while the graph is shown.
    void ClearClicked(const SystemSettings& s, const AppState& st, const ShowButton& showClear);
    // picGrphSw: hides a shown graph, shows a hidden one.
    void SwitchClicked(const SystemSettings& s, AppState& st, const ShowButton& showSwitch);

    std::int32_t grphLastX = -10; // pixel position of the last point; off the panel at first
    std::int32_t grphLastY = -10;
    QRgb grphColor = LiquidColor(0);

private:
    void Record(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                double pressure, std::string_view readout, bool mapped, std::int32_t px,
                std::int32_t py, std::optional<std::string_view> typed);

    platform::DrawArea& area_;
    std::optional<QFont> measureFont_; // the font measure_ answers for
    mdlGrph::MeasureInk measure_;
    mdlGrph::PlotRecord points_;
    bool dataBook_ = false;
    std::optional<SystemSettings> gridSettings_;
};

} // namespace graph
