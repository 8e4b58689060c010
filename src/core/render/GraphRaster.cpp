#include "core/render/GraphRaster.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// floor(v × size / panel), for any v the panel's boxes hold.
std::int64_t Scaled(std::int64_t v, std::int64_t size, std::int64_t panel)
{
    const std::int64_t p = v * size;
    return p >= 0 ? p / panel : -((-p + panel - 1) / panel);
}

// The display pixels a mark n panel pixels long takes at size/panel: rounded, at least 1.
std::int64_t MarkLength(std::int64_t n, std::int64_t size, std::int64_t panel)
{
    return std::max<std::int64_t>(1, (2 * n * size + panel) / (2 * panel));
}

} // namespace

void GraphRaster::SetSize(int width, int height, const GraphPicture& graph)
{
    width_ = std::clamp(width, 1, kMaxSide);
    height_ = std::clamp(height, 1, kMaxSide);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kGraphBackground);
    Redraw(graph);
}

int GraphRaster::X(std::int64_t x) const
{
    return static_cast<int>(std::clamp<std::int64_t>(Scaled(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX), width_, GraphPicture::kWidth), INT32_MIN, INT32_MAX));
}

int GraphRaster::Y(std::int64_t y) const
{
    return static_cast<int>(std::clamp<std::int64_t>(Scaled(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX), height_, GraphPicture::kHeight), INT32_MIN, INT32_MAX));
}

void GraphRaster::Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Pixel color)
{
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, width_);
    bottom = std::min<std::int64_t>(bottom, height_);
    if (left >= right || top >= bottom) return;
    for (std::int64_t y = top; y < bottom; ++y)
        std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y * width_ + left), right - left, color);
    if (dirty_.Empty()) {
        dirty_ = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
    } else {
        dirty_.left = std::min(dirty_.left, static_cast<int>(left));
        dirty_.top = std::min(dirty_.top, static_cast<int>(top));
        dirty_.right = std::max(dirty_.right, static_cast<int>(right));
        dirty_.bottom = std::max(dirty_.bottom, static_cast<int>(bottom));
    }
}

void GraphRaster::Draw(const GraphPicture::Fill& f)
{
    if (f.labels) return; // the face prints them
    const std::int64_t w = width_, h = height_, pw = GraphPicture::kWidth, ph = GraphPicture::kHeight;
    // Across a line, and along a mark, the middle of the panel pixels it covers.
    const auto midX = [&](std::int64_t a, std::int64_t b) { return Scaled(a + b + 1, w, 2 * pw); };
    const auto midY = [&](std::int64_t a, std::int64_t b) { return Scaled(a + b + 1, h, 2 * ph); };
    switch (f.kind) {
    case GraphPicture::Kind::Area:
        Fill(X(f.left), Y(f.top), X(std::int64_t{f.right} + 1), Y(std::int64_t{f.bottom} + 1), f.color);
        break;
    case GraphPicture::Kind::Line:
        if (f.left == f.right) {
            const std::int64_t x = midX(f.left, f.right);
            Fill(x, Y(f.top), x + 1, Y(std::int64_t{f.bottom} + 1), f.color);
        } else {
            const std::int64_t y = midY(f.top, f.bottom);
            Fill(X(f.left), y, X(std::int64_t{f.right} + 1), y + 1, f.color);
        }
        break;
    case GraphPicture::Kind::Mark: {
        // Every mark the same size, centred where the panel centres it.
        const std::int64_t lw = MarkLength(std::int64_t{f.right} - f.left + 1, w, pw);
        const std::int64_t lh = MarkLength(std::int64_t{f.bottom} - f.top + 1, h, ph);
        const std::int64_t x = midX(f.left, f.right) - (lw - 1) / 2;
        const std::int64_t y = midY(f.top, f.bottom) - (lh - 1) / 2;
        if (f.shape == kMarkSquare) {
            Fill(x, y, x + lw, y + lh, f.color);
        } else {
            // A shape keeps its cells whole and square: no cell thinner than a pixel.
            const std::int64_t side = std::max<std::int64_t>({lw, lh, MarkCells(f.shape)});
            ForEachMarkBox(f.shape, x, y, side, [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
                Fill(l, t, r, b, f.color);
            });
        }
        break;
    }
    }
}

void GraphRaster::Apply(const GraphPicture& graph)
{
    const GraphPicture::Changes& changes = graph.TakenChanges();
    if (changes.whole) {
        Redraw(graph);
        return;
    }
    for (const GraphPicture::Fill& f : changes.fills) Draw(f);
}

void GraphRaster::Redraw(const GraphPicture& graph)
{
    graph.Replay([this](const GraphPicture::Fill& f) { Draw(f); }); // its background covers the whole

}

GraphRaster::Box GraphRaster::TakeDirty()
{
    const Box d = dirty_;
    dirty_ = {};
    return d;
}

} // namespace render
