#pragma once
// The graph panel drawn at a display's own pixels, for a face that shows it at any size: the
// panel's boxes land on a grid of the display's pixels, grid lines stay one pixel thin and
// every point keeps one shape, so nothing looks bolder or thinner for where it falls.
#include <cstdint>
#include <vector>

#include "core/render/GraphPicture.h"

namespace render {

class GraphRaster {
public:
    // The display pixels the whole panel covers; at least 1 × 1, at most kMaxSide a side.
    // Draws the panel anew at that size.
    static constexpr int kMaxSide = 8192;
    void SetSize(int width, int height, const GraphPicture& graph);

    // What graph drew since its changes were last cleared, at this size (all of it when the
    // list was dropped). The changes stay for the caller to clear.
    void Apply(const GraphPicture& graph);
    // The whole panel from what graph holds: its grid and its points in the order plotted.
    void Redraw(const GraphPicture& graph);

    // The pixels changed since the last TakeDirty, right and bottom exclusive; empty when none.
    struct Box {
        int left = 0, top = 0, right = 0, bottom = 0;
        bool Empty() const { return right <= left || bottom <= top; }
    };
    Box TakeDirty();

    int Width() const { return width_; }
    int Height() const { return height_; }
    const Pixel* Pixels() const { return pixels_.data(); }
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)]; }

    // Where panel column x and row y begin on the display.
    int X(std::int64_t x) const;
    int Y(std::int64_t y) const;

private:
    void Draw(const GraphPicture::Fill& fill);
    void Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Pixel color);

    int width_ = GraphPicture::kWidth;
    int height_ = GraphPicture::kHeight;
    std::vector<Pixel> pixels_ = std::vector<Pixel>(static_cast<std::size_t>(GraphPicture::kWidth) * GraphPicture::kHeight, kGraphBackground);
    Box dirty_{};
};

} // namespace render
