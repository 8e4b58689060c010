#include "core/render/FieldPicture.h"

#include <algorithm>
#include <cstring>

namespace render {

namespace {

#include "core/render/MoleculeSprite.inc"

constexpr Pixel kBlack = Rgb(0, 0, 0);

constexpr std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite> MakeSprite()
{
    std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite> s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = Rgb(kMoleculeRgb[3 * i], kMoleculeRgb[3 * i + 1], kMoleculeRgb[3 * i + 2]);
    return s;
}

constexpr auto kSpritePixels = MakeSprite();

// The blank picture a frame starts from. Copied rather than filled: in WebAssembly a large
// copy runs at the machine's speed (the runtime hands it to the host), a fill loop at a
// fraction of it.
const std::array<Pixel, FieldPicture::kWidth * FieldPicture::kHeight>& Blank()
{
    static const auto* const blank = [] {
        auto* b = new std::array<Pixel, FieldPicture::kWidth * FieldPicture::kHeight>;
        b->fill(kBlack);
        return b;
    }();
    return *blank;
}

} // namespace

const std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite>& FieldPicture::Sprite()
{
    return kSpritePixels;
}

FieldPicture::FieldPicture() : pixels_(Blank()) {}

void FieldPicture::CopySprite(int x, int y)
{
    constexpr int kRow = kSprite * static_cast<int>(sizeof(Pixel));
    if (x >= 0 && y >= 0 && x <= kWidth - kSprite && y <= kHeight - kSprite) {
        Pixel* dst = pixels_.data() + y * kWidth + x;
        const Pixel* src = kSpritePixels.data();
        for (int row = 0; row < kSprite; ++row, dst += kWidth, src += kSprite) std::memcpy(dst, src, kRow);
        return;
    }
    // Partly (or wholly) outside: only what falls on the picture. Places far out stay in
    // 64 bits.
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), x1 = std::min<std::int64_t>(std::int64_t{x} + kSprite, kWidth);
    const std::int64_t y0 = std::max<std::int64_t>(y, 0), y1 = std::min<std::int64_t>(std::int64_t{y} + kSprite, kHeight);
    for (std::int64_t row = y0; row < y1; ++row)
        for (std::int64_t col = x0; col < x1; ++col)
            pixels_[static_cast<std::size_t>(row * kWidth + col)] =
                kSpritePixels[static_cast<std::size_t>((row - y) * kSprite + (col - x))];
}

void FieldPicture::Draw(const mdlSprite::MolField& field)
{
    std::memcpy(pixels_.data(), Blank().data(), sizeof pixels_);
    for (int i = mdlSprite::kRows; i >= 1; --i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) CopySprite(field.cells[i][j].x, field.cells[i][j].y);
}

} // namespace render
