#pragma once
// The container's picture as a frame draws it: black, and the molecule sprite copied opaque
// to each molecule's place in the frame's order (rows 15 down to 1, columns 1 up to 37),
// clipped at the edges.
//
// At a zoom the picture is drawn on the window's grid (zoom::Edge): the field's pixel v
// covers the zoomed pixels from Edge(origin, v) on, and every molecule is one sprite scaled
// once (zoom::Length), so it keeps one shape wherever it lies.
#include <array>
#include <cstdint>
#include <vector>

#include "core/field/mdlSprite.h"
#include "core/render/Pixels.h"

namespace render {

class FieldPicture {
public:
    static constexpr int kWidth = mdlSprite::kContainerWidth;
    static constexpr int kHeight = mdlSprite::kContainerHeight;
    static constexpr int kSprite = mdlSprite::kSpriteSize;

    // The byte order of a pixel: the browser's canvas takes R, G, B, A; a desktop image
    // B, G, R, A (a 32-bit 0xAARRGGBB word on little-endian machines).
    enum class Order { Rgba, Bgra };

    FieldPicture(); // 100 %, RGBA
    // A zoom (zoom::IsZoom, else 100) for a field at design offset (originX, originY) of the
    // window, in a byte order. Allocates; the frames after it do not.
    void SetLayout(int percent, int originX, int originY, Order order);
    // Allocates nothing: the frame draws through here.
    void Draw(const mdlSprite::MolField& field);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Percent() const { return percent_; }
    const Pixel* Pixels() const { return pixels_.data(); }
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

    // The sprite's pixels at 100 %, RGBA, row by row.
    static const std::array<Pixel, kSprite * kSprite>& Sprite();
    // The sprite as this layout copies it: side × side pixels in the layout's order.
    const std::vector<Pixel>& ScaledSprite() const { return sprite_; }
    int SpriteSide() const { return side_; }

private:
    void CopySprite(std::int64_t left, std::int64_t top);

    int percent_ = 100;
    int originX_ = 0, originY_ = 0;
    int width_ = kWidth, height_ = kHeight;
    int side_ = kSprite;
    std::vector<Pixel> pixels_;
    std::vector<Pixel> blank_; // in WebAssembly only: what a frame starts from
    std::vector<Pixel> sprite_;
    std::vector<int> cols_, rows_; // zoomed left edge of each field column and row, and the end
};

} // namespace render
