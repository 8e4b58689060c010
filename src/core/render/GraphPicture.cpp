#include "core/render/GraphPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "core/model/NumText.h"

namespace render {

Pixel LiquidColor(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return Rgb(0, 0, 192);
    case 1: return Rgb(0, 204, 0);
    default: return Rgb(0, 204, 204);
    }
}

int MarkCells(int shape)
{
    switch (shape) {
    case kMarkDiamond:
    case kMarkCross: return 5;
    case kMarkRing: return 9;
    default: return 3;
    }
}

bool MarkInked(int shape, int cx, int cy)
{
    switch (shape) {
    case kMarkHollow: return !(cx == 1 && cy == 1);
    case kMarkPlus: return cx == 1 || cy == 1;
    case kMarkDiamond: return std::abs(cx - 2) + std::abs(cy - 2) <= 2;
    case kMarkCross: return cx == cy || cx + cy == 4;
    case kMarkRing: return cx == 0 || cy == 0 || cx == 8 || cy == 8;
    default: return true;
    }
}

int DistinctShape(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return kMarkSquare;
    case 1: return kMarkDiamond;
    default: return kMarkCross;
    }
}

// Darker than the panel's own colours, so that each stands out from white by 3 : 1 or more:
// blue 12.6, green 5.1, teal 5.7.
Pixel DistinctColor(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return Rgb(0, 0, 192);
    case 1: return Rgb(0, 128, 0);
    default: return Rgb(0, 112, 140);
    }
}

mdlGrph::InkBox InkFromChars(const CharInk* table, std::string_view text)
{
    double pen = 0, left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const char c : text) {
        std::size_t k = kLabelChars.find(c);
        if (k == std::string_view::npos) k = 0;
        const CharInk& ink = table[k];
        const auto finite = [](double v) { return std::isfinite(v) ? std::clamp(v, -1e4, 1e4) : 0.0; };
        if (finite(ink.right) > finite(ink.left) && finite(ink.bottom) > finite(ink.top)) {
            const double l = pen + finite(ink.left), r = pen + finite(ink.right);
            left = any ? std::min(left, l) : l;
            right = any ? std::max(right, r) : r;
            top = any ? std::min(top, finite(ink.top)) : finite(ink.top);
            bottom = any ? std::max(bottom, finite(ink.bottom)) : finite(ink.bottom);
            any = true;
        }
        pen += finite(ink.advance);
    }
    if (!any) return {};
    // Whole pixels that the ink reaches into.
    return {static_cast<std::int32_t>(std::floor(left)), static_cast<std::int32_t>(std::floor(top)),
            static_cast<std::int32_t>(std::ceil(right)), static_cast<std::int32_t>(std::ceil(bottom))};
}

mdlGrph::MeasureInk MeasureFromChars(const CharInk* table)
{
    auto copy = std::make_shared<std::vector<CharInk>>(table, table + kLabelChars.size());
    return [copy](std::string_view text) { return InkFromChars(copy->data(), text); };
}

// Digits of a 9-pixel proportional font, as the panel's 6.75 pt: 5 pixels apart, inked from
// 2 to 9 below the top.
const CharInk kDefaultLabelInk[] = {
    {5, 0.3, 2, 4.7, 9},  {5, 0.8, 2, 3.5, 9},  {5, 0.3, 2, 4.7, 9}, {5, 0.3, 2, 4.7, 9}, {5, 0.3, 2, 4.7, 9},
    {5, 0.3, 2, 4.7, 9},  {5, 0.3, 2, 4.7, 9},  {5, 0.3, 2, 4.7, 9}, {5, 0.3, 2, 4.7, 9}, {5, 0.3, 2, 4.7, 9},
    {3, 0.3, 5.5, 2.7, 6.5}, {2.5, 0.6, 7.8, 1.6, 9}, {5, 0.4, 3.5, 4.6, 8}, {5, 0.6, 2, 4.2, 9}, {5, 0.4, 4, 4.6, 9},
};
static_assert(std::size(kDefaultLabelInk) == kLabelChars.size());

GraphPicture::GraphPicture() : measure_(MeasureFromChars(kDefaultLabelInk)) { pixels_.fill(kGraphBackground); }

void GraphPicture::SetLabelInk(mdlGrph::MeasureInk measure)
{
    measure_ = measure ? std::move(measure) : MeasureFromChars(kDefaultLabelInk);
}

void GraphPicture::Relabel()
{
    labels_.clear();
    if (!gridSettings_) return;
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(*gridSettings_, mdlGrph::LabelFrame{}, measure_))
        labels_.push_back({l.text, l.x, l.y});
}

void GraphPicture::FillBox(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Pixel color,
                           Kind kind)
{
    const std::int64_t left = std::max<std::int64_t>(std::min(x1, x2), 0);
    const std::int64_t right = std::min<std::int64_t>(std::max(x1, x2), kWidth - 1);
    const std::int64_t top = std::max<std::int64_t>(std::min(y1, y2), 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(y1, y2), kHeight - 1);
    if (left > right || top > bottom) return;
    for (std::int64_t y = top; y <= bottom; ++y)
        for (std::int64_t x = left; x <= right; ++x) pixels_[static_cast<std::size_t>(y * kWidth + x)] = color;
    // Unclipped, as drawn: a face's zoomed copy sizes a box by its whole extent.
    const auto corner = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    Note({corner(std::min(x1, x2)), corner(std::min(y1, y2)), corner(std::max(x1, x2)), corner(std::max(y1, y2)),
          color, false, kind});
}

void GraphPicture::Note(const Fill& fill)
{
    if (changes_.whole) return;
    if (changes_.fills.size() >= kMaxFills) {
        changes_.fills.clear();
        changes_.whole = true;
        return;
    }
    changes_.fills.push_back(fill);
}

void GraphPicture::GrphClear()
{
    ClearChanges(); // the whole panel is painted over
    pixels_.fill(kGraphBackground);
    Note({0, 0, kWidth - 1, kHeight - 1, kGraphBackground, false, Kind::Area});
    labels_.clear();
    grphLastX = -10;
    grphLastY = -10;
    points_.Clear();
    gridSettings_.reset();
}

void GraphPicture::GrphRedraw(const SystemSettings& s)
{
    GrphClear();
    GridLines(s, [this](const Fill& f) { FillBox(f.left, f.top, f.right, f.bottom, f.color, f.kind); });
    gridSettings_ = s;
    Relabel();
    Note({0, 0, 0, 0, 0, true});
}

void GraphPicture::SetDistinctMarkers(bool on)
{
    if (on == distinct_) return;
    distinct_ = on;
    if (gridSettings_) Repaint();
}

void GraphPicture::Replay(const std::function<void(const Fill&)>& fill) const
{
    fill({0, 0, kWidth - 1, kHeight - 1, kGraphBackground, false, Kind::Area});
    if (!gridSettings_) return;
    GridLines(*gridSettings_, fill);
    // A marker of side n centred where the panel's 3 × 3 box of (px, py) is.
    const auto mark = [](const mdlGrph::PlottedPoint& p, int side, Pixel color, int shape) {
        const std::int64_t lo = (side - 3) / 2;
        const auto at = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
        return Fill{at(p.px - lo), at(p.py - lo), at(std::int64_t{p.px} - lo + side - 1), at(std::int64_t{p.py} - lo + side - 1),
                    color, false, Kind::Mark, static_cast<std::uint8_t>(shape)};
    };
    const mdlGrph::PlotRecord& points = points_;
    const mdlGrph::PlottedPoint* last = nullptr;
    for (std::size_t i = 0; i < points.Size(); ++i) {
        const mdlGrph::PlottedPoint& p = points.At(i);
        if (!p.mapped) continue;
        if (distinct_) {
            if (last) fill(mark(*last, kDistinctSide, DistinctColor(last->liquid), DistinctShape(last->liquid)));
        } else {
            // As plotted: each point in red, then the one before it in its liquid's colour.
            fill(mark(p, 3, kNewestColor, kMarkSquare));
            if (last) fill(mark(*last, 3, LiquidColor(last->liquid), kMarkSquare));
        }
        last = &p;
    }
    if (distinct_ && last) {
        fill(mark(*last, kDistinctSide, kNewestColor, DistinctShape(last->liquid)));
        fill(mark(*last, kRingSide, kNewestColor, kMarkRing));
    }
}

void GraphPicture::GridLines(const SystemSettings& s, const std::function<void(const Fill&)>& fill)
{
    mdlGrph::TemperatureGrid(s, [&](std::int32_t px, std::int32_t) {
        fill({px, 0, px, mdlGrph::kFrameBottom, kGridColor, false, Kind::Line});
    });
    mdlGrph::PressureGrid(s, [&](std::int32_t py, double) {
        fill({mdlGrph::kFrameLeft, py, mdlGrph::kFrameLeft + mdlGrph::kAxisWidth, py, kGridColor, false, Kind::Line});
    });
}

void GraphPicture::ForEachPanelBox(const Fill& f,
                                   const std::function<void(std::int64_t, std::int64_t, std::int64_t, std::int64_t)>& box)
{
    if (f.labels) return;
    if (f.kind != Kind::Mark || f.shape == kMarkSquare) {
        box(f.left, f.top, f.right, f.bottom);
        return;
    }
    ForEachMarkBox(f.shape, f.left, f.top, std::int64_t{f.right} - f.left + 1,
                   [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) { box(l, t, r - 1, b - 1); });
}

void GraphPicture::Repaint()
{
    Replay([this](const Fill& f) {
        ForEachPanelBox(f, [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
            FillBox(l, t, r, b, f.color, f.kind == Kind::Mark && f.shape != kMarkSquare ? Kind::Area : f.kind);
        });
    });
    // Too much for a list: the faces take the picture whole, with its labels.
    changes_.fills.clear();
    changes_.whole = true;
}

void GraphPicture::GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                                 double pressure, std::string_view readout,
                                 std::optional<std::string_view> typed)
{
    if (st.grphVisible == 0) return;
    std::int32_t x, y, px, py;
    const bool mapped = mdlGrph::GrphScale(s, temperature, pressure, x, y);
    mdlGrph::GrphPixel(x, y, px, py);
    points_.Add(mdlGrph::MakePoint(s, st.curLiquid, temperature, pressure, readout, mapped, px, py,
                                   dataBook_, typed));
    if (!mapped) return;
    if (distinct_) {
        // The ring of the point before must go: drawn again whole.
        lastLiquid_ = st.curLiquid;
        grphLastX = px;
        grphLastY = py;
        Repaint();
        return;
    }
    FillBox(px, py, std::int64_t{px} + 2, std::int64_t{py} + 2, kNewestColor, Kind::Mark);
    // The previous point in the colour of the liquid it was measured in, as the report has it.
    FillBox(grphLastX, grphLastY, std::int64_t{grphLastX} + 2, std::int64_t{grphLastY} + 2, LiquidColor(lastLiquid_),
            Kind::Mark);
    lastLiquid_ = st.curLiquid;
    grphLastX = px;
    grphLastY = py;
}

void GraphPicture::ClearClicked(const SystemSettings& s, const AppState& st)
{
    if (st.grphVisible == 1) GrphRedraw(s);
}

void GraphPicture::SwitchClicked(const SystemSettings& s, AppState& st)
{
    if (st.grphVisible != 0) {
        GrphClear();
        st.grphVisible = 0;
    } else {
        GrphRedraw(s);
        st.grphVisible = 1;
    }
}

} // namespace render
