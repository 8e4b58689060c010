#pragma once
// The container's picture as a frame draws it: black, and the molecule sprite copied opaque
// to each molecule's place in the frame's order (rows 15 down to 1, columns 1 up to 37),
// clipped at the edges. The same pixels the desktop's drawing area holds at 100 %.
#include <array>
#include <cstdint>

#include "core/field/mdlSprite.h"
#include "core/render/Pixels.h"

namespace render {

class FieldPicture {
public:
    static constexpr int kWidth = mdlSprite::kContainerWidth;
    static constexpr int kHeight = mdlSprite::kContainerHeight;
    static constexpr int kSprite = mdlSprite::kSpriteSize;

    FieldPicture();
    // Allocates nothing: the frame draws through here.
    void Draw(const mdlSprite::MolField& field);

    const Pixel* Pixels() const { return pixels_.data(); }
    const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
    Pixel At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kWidth + x)]; }

    // The sprite's pixels, row by row.
    static const std::array<Pixel, kSprite * kSprite>& Sprite();

private:
    void CopySprite(int x, int y);
    std::array<Pixel, kWidth * kHeight> pixels_{};
};

} // namespace render
