#pragma once
// The vapour-pressure graph panel on the screen: the program's picture of the grid and the
// plotted points in a 315 × 334 drawing area, its labels in the system's font.
#include <QFont>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/graph/mdlGrph.h"
#include "core/app/AppState.h"
#include "core/render/GraphPicture.h"
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

// The panel on the screen: the program's graph picture painted into a drawing area, fill
// by fill as the picture was drawn, with the grid's labels printed in the system's font where
// the picture places them. The panel decides nothing: the picture does.
class GraphPanel {
public:
    // Shows picture; sets the area's label font and tells the picture its ink. The area
    // should be 315 × 334.
    GraphPanel(platform::DrawArea& area, render::GraphPicture& picture);
    // A panel with a picture of its own.
    explicit GraphPanel(platform::DrawArea& area);

    platform::DrawArea& Area() { return area_; }
    render::GraphPicture& Picture() { return *picture_; }

    // Paints what the picture drew since the last call, and shows it.
    void Paint();

    // The picture's calls, then painted.
    void GrphClear();
    void GrphRedraw(const SystemSettings& s);
    void GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                       double pressure, std::string_view readout = {},
                       std::optional<std::string_view> typed = std::nullopt);
    void SetDataBook(bool dataBook) { picture_->SetDataBook(dataBook); }
    void SetIncludeTypedThrough(bool include) { picture_->SetIncludeTypedThrough(include); }

    // The points plotted since the last erase.
    const mdlGrph::PlotRecord& Points() const { return picture_->Points(); }
    // The settings the panel's grid was drawn with; nothing while the panel has no grid.
    const std::optional<SystemSettings>& GridSettings() const { return picture_->GridSettings(); }

    // picGrphCls: flashes the button and erases the points while the graph is shown.
    void ClearClicked(const SystemSettings& s, const AppState& st, const ShowButton& showClear);
    // picGrphSw: hides a shown graph, shows a hidden one.
    void SwitchClicked(const SystemSettings& s, AppState& st, const ShowButton& showSwitch);

    // Pixel position of the last point; off the panel at first.
    std::int32_t LastX() const { return picture_->grphLastX; }
    std::int32_t LastY() const { return picture_->grphLastY; }
    QRgb grphColor = LiquidColor(0); // the colour the last plot gave the previous point: its own liquid's

private:
    void Init();
    void PrintLabels();

    platform::DrawArea& area_;
    std::unique_ptr<render::GraphPicture> own_;
    render::GraphPicture* picture_;
};

} // namespace graph
