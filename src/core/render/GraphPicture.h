#pragma once
// The graph panel as pixels: the white panel, the grid lines and the plotted points, with
// the points recorded for the table and the report picture. The grid's label texts and
// their places are listed instead of drawn, for the face to print in the system's font.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph/mdlGrph.h"
#include "core/app/AppState.h"
#include "core/render/Pixels.h"
#include "core/settings/SystemSettings.h"

namespace render {

constexpr Pixel kGraphBackground = Rgb(255, 255, 255);
constexpr Pixel kGridColor = Rgb(192, 192, 192);
constexpr Pixel kNewestColor = Rgb(255, 0, 0);
// Marker colour of earlier points: Water, Ethanol, and DiethylEther for anything else.
Pixel LiquidColor(std::int32_t liquid);

// Marker shapes, on a grid of n × n cells (MarkCells): a filled square, a hollow one and a
// plus on 3 × 3; a diamond and a cross on 5 × 5; a ring round a point on 9 × 9.
enum MarkShape : std::uint8_t { kMarkSquare = 0, kMarkHollow = 1, kMarkPlus = 2, kMarkDiamond = 3, kMarkCross = 4, kMarkRing = 5 };
int MarkCells(int shape);
bool MarkInked(int shape, int cx, int cy);
// The boxes (left, top, right, bottom, all exclusive of right and bottom) that ink a shape
// drawn in a side × side box at (x, y): each cell gets ⌊side / n⌋ or one more pixels.
template <typename Box>
void ForEachMarkBox(int shape, std::int64_t x, std::int64_t y, std::int64_t side, Box&& box)
{
    const int n = MarkCells(shape);
    for (int cy = 0; cy < n; ++cy)
        for (int cx = 0; cx < n; ++cx)
            if (MarkInked(shape, cx, cy))
                box(x + cx * side / n, y + cy * side / n, x + (cx + 1) * side / n, y + (cy + 1) * side / n);
}

// The colour-vision choice: each liquid's points in a shape of its own (Water a square,
// Ethanol a diamond, DiethylEther a cross), in colours of at least 3 : 1 against white, and
// the newest point ringed as well as red.
int DistinctShape(std::int32_t liquid);
Pixel DistinctColor(std::int32_t liquid);
constexpr int kDistinctSide = 5;  // panel pixels of a marker
constexpr int kRingSide = 9;      // and of the newest point's ring

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

    // The ink of the label font the face prints in; until one is given, a table of a
    // typical 9-pixel proportional font.
    void SetLabelInk(mdlGrph::MeasureInk measure);
    // Chooses the labels of the grid shown again, for a label font measured anew; the
    // pixels and the points stay.
    void Relabel();
    // Whether the points plotted from now come from the data-book values.
    void SetDataBook(bool on) { dataBook_ = on; }
    void SetIncludeTypedThrough(bool include) { points_.SetIncludeTypedThrough(include); }

    // Blank panel, no grid, no labels, no points recorded; the next plot repaints no
    // earlier point.
    void GrphClear();
    // Blank panel and the grid of the settings' ranges.
    void GrphRedraw(const SystemSettings& s);
    // Marks (temperature, pressure) in red and turns the previous point to the liquid's
    // colour, while the graph is shown; a point that cannot be mapped is recorded only.
    // typed: the temperature box's text when a keystroke set the temperature.
    void GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                       double pressure, std::string_view readout,
                       std::optional<std::string_view> typed = std::nullopt);
    // picGrphCls and picGrphSw.
    void ClearClicked(const SystemSettings& s, const AppState& st);
    void SwitchClicked(const SystemSettings& s, AppState& st);

    // The drawing since a face last took it, in order: boxes filled (panel pixels, both
    // corners included) and the place where the grid's labels go on top of the grid, so a
    // face that keeps its own copy (at its zoom, with its text) paints just what changed,
    // in the same order. Too long a list is dropped for the whole picture.
    // What a box is, for a face that draws at its display's own pixels: a grid line stays
    // one pixel thin and a point keeps one shape wherever it lies.
    enum class Kind : std::uint8_t { Area, Line, Mark };
    struct Fill {
        std::int32_t left = 0, top = 0, right = 0, bottom = 0;
        Pixel color = 0;
        bool labels = false; // no box: the labels are printed here
        Kind kind = Kind::Area;
        std::uint8_t shape = kMarkSquare; // of a Mark
    };
    struct Changes {
        std::vector<Fill> fills; // keeps its capacity: a ramp plots on the frame's path
        bool whole = false;      // the list was dropped: show the whole picture and labels
    };
    static constexpr std::size_t kMaxFills = 4096;
    const Changes& TakenChanges() const { return changes_; }
    void ClearChanges()
    {
        changes_.fills.clear();
        changes_.whole = false;
    }

    // The colour-vision choice (DistinctShape); the points shown are drawn anew in it.
    void SetDistinctMarkers(bool on);
    bool DistinctMarkers() const { return distinct_; }
    // Every box of the panel as it would be drawn now from what it holds, in painting order:
    // the background, the grid's lines and the points plotted, the newest last.
    void Replay(const std::function<void(const Fill&)>& fill) const;
    // The panel pixels a fill inks, as boxes with both corners included: itself, or the
    // cells of its marker's shape.
    static void ForEachPanelBox(const Fill& fill,
                                const std::function<void(std::int64_t, std::int64_t, std::int64_t, std::int64_t)>& box);

    const Pixel* Pixels() const { return pixels_.data(); }
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kWidth + x)]; }
    const std::vector<Label>& Labels() const { return labels_; }
    const mdlGrph::PlotRecord& Points() const { return points_; }
    const std::optional<SystemSettings>& GridSettings() const { return gridSettings_; }

    std::int32_t grphLastX = -10; // pixel position of the last point; off the panel at first
    std::int32_t grphLastY = -10;
    std::int32_t LastLiquid() const { return lastLiquid_; } // the liquid of the last point

private:
    void FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Pixel color, Kind kind);
    // The whole panel drawn again from what it holds; the faces take it whole.
    void Repaint();
    static void GridLines(const SystemSettings& s, const std::function<void(const Fill&)>& fill);
    void Note(const Fill& fill);

    std::array<Pixel, kWidth * kHeight> pixels_{};
    std::vector<Label> labels_;
    mdlGrph::PlotRecord points_;
    std::optional<SystemSettings> gridSettings_;
    mdlGrph::MeasureInk measure_;
    bool dataBook_ = false;
    bool distinct_ = false;
    std::int32_t lastLiquid_ = 0;
    Changes changes_;
};

// The ink of one character of a label font: its advance, and its ink box with the pen at
// x 0 and the text's top at y 0, as the face measures it.
struct CharInk {
    double advance = 0, left = 0, top = 0, right = 0, bottom = 0;
};
// The characters a grid label can hold, in the order of a table of their ink.
constexpr std::string_view kLabelChars = "0123456789-.+Ee";
// A label's ink from its characters' table (kLabelChars.size() entries), the characters
// set side by side at their advances; a character outside the table counts as a '0'.
mdlGrph::InkBox InkFromChars(const CharInk* table, std::string_view text);
mdlGrph::MeasureInk MeasureFromChars(const CharInk* table);
// The panel's label ink until the face measures its font.
extern const CharInk kDefaultLabelInk[];

} // namespace render
