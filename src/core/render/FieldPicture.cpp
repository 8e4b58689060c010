#include "core/render/FieldPicture.h"

#include <algorithm>
#include <cstring>

#include "core/view/Zoom.h"

namespace render {

namespace {

#include "core/render/MoleculeSprite.inc"

constexpr Pixel kBlack = Rgb(0, 0, 0); // the same word in either order

constexpr std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite> MakeSprite()
{
    std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite> s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = Rgb(kMoleculeRgb[3 * i], kMoleculeRgb[3 * i + 1], kMoleculeRgb[3 * i + 2]);
    return s;
}

constexpr auto kSpritePixels = MakeSprite();

Pixel Swapped(Pixel p) { return (p & 0xFF00FF00u) | (p & 0xFFu) << 16 | (p >> 16 & 0xFFu); }

// Rows of a size known here are a few moves, not a call each.
template <int Side>
void CopyRows(Pixel* dst, int stride, const Pixel* src)
{
    for (int r = 0; r < Side; ++r, dst += stride, src += Side) std::memcpy(dst, src, Side * sizeof(Pixel));
}

} // namespace

const std::array<Pixel, FieldPicture::kSprite * FieldPicture::kSprite>& FieldPicture::Sprite()
{
    return kSpritePixels;
}

FieldPicture::FieldPicture() { SetLayout(100, 0, 0, Order::Rgba); }

void FieldPicture::SetLayout(int percent, int originX, int originY, Order order)
{
    percent_ = zoom::IsZoom(percent) ? percent : 100;
    originX_ = originX;
    originY_ = originY;
    width_ = std::max(0, zoom::Edge(originX, kWidth, percent_));
    height_ = std::max(0, zoom::Edge(originY, kHeight, percent_));
    cols_.resize(kWidth + 1);
    rows_.resize(kHeight + 1);
    for (int v = 0; v <= kWidth; ++v) cols_[static_cast<std::size_t>(v)] = zoom::Edge(originX, v, percent_);
    for (int v = 0; v <= kHeight; ++v) rows_[static_cast<std::size_t>(v)] = zoom::Edge(originY, v, percent_);
    // Scaled once, each zoomed pixel taking the source pixel under its centre.
    side_ = zoom::Length(kSprite, percent_);
    sprite_.resize(static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_));
    for (int y = 0; y < side_; ++y)
        for (int x = 0; x < side_; ++x) {
            const int sx = (2 * x + 1) * kSprite / (2 * side_), sy = (2 * y + 1) * kSprite / (2 * side_);
            const Pixel p = kSpritePixels[static_cast<std::size_t>(sy * kSprite + sx)];
            sprite_[static_cast<std::size_t>(y * side_ + x)] = order == Order::Bgra ? Swapped(p) : p;
        }
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kBlack);
#if defined(__EMSCRIPTEN__)
    blank_ = pixels_;
#endif
}

void FieldPicture::CopySprite(std::int64_t left, std::int64_t top)
{
    if (left >= 0 && top >= 0 && left + side_ <= width_ && top + side_ <= height_) {
        Pixel* dst = pixels_.data() + top * width_ + left;
        const Pixel* src = sprite_.data();
        switch (side_) { // 100, 150 and 200 %
        case 10: CopyRows<10>(dst, width_, src); return;
        case 15: CopyRows<15>(dst, width_, src); return;
        case 20: CopyRows<20>(dst, width_, src); return;
        default: break;
        }
        const std::size_t row = static_cast<std::size_t>(side_) * sizeof(Pixel);
        for (int r = 0; r < side_; ++r, dst += width_, src += side_) std::memcpy(dst, src, row);
        return;
    }
    // Partly (or wholly) outside: only what falls on the picture. Places far out stay in
    // 64 bits.
    const std::int64_t x0 = std::max<std::int64_t>(left, 0), x1 = std::min<std::int64_t>(left + side_, width_);
    const std::int64_t y0 = std::max<std::int64_t>(top, 0), y1 = std::min<std::int64_t>(top + side_, height_);
    for (std::int64_t y = y0; y < y1; ++y)
        for (std::int64_t x = x0; x < x1; ++x)
            pixels_[static_cast<std::size_t>(y * width_ + x)] =
                sprite_[static_cast<std::size_t>((y - top) * side_ + (x - left))];
}

void FieldPicture::Draw(const mdlSprite::MolField& field)
{
#if defined(__EMSCRIPTEN__)
    // In WebAssembly one large copy runs at the machine's speed (the runtime hands it to the
    // host); a fill loop, or a copy a row, crawls.
    std::memcpy(pixels_.data(), blank_.data(), pixels_.size() * sizeof(Pixel));
#else
    // One black row in the cache, copied down: nothing is read from memory, so a zoomed
    // picture larger than the cache starts as fast as a fill.
    if (width_ > 0 && height_ > 0) {
        std::fill_n(pixels_.begin(), width_, kBlack);
        const std::size_t row = static_cast<std::size_t>(width_) * sizeof(Pixel);
        for (int y = 1; y < height_; ++y) std::memcpy(pixels_.data() + std::size_t{static_cast<std::size_t>(y)} * static_cast<std::size_t>(width_), pixels_.data(), row);
    }
#endif
    const auto edge = [](const std::vector<int>& edges, int origin, int v, int percent) -> std::int64_t {
        if (v >= 0 && static_cast<std::size_t>(v) < edges.size()) return edges[static_cast<std::size_t>(v)];
        return zoom::Edge(origin, v, percent); // off the field: its place, clipped away
    };
    for (int i = mdlSprite::kRows; i >= 1; --i)
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = field.cells[i][j];
            CopySprite(edge(cols_, originX_, c.x, percent_), edge(rows_, originY_, c.y, percent_));
        }
}

} // namespace render
