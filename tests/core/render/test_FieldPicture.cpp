// The field's picture at the projector's zooms: on the window's grid, every molecule one
// scaled sprite, in the byte order the face asks for.
#include <gtest/gtest.h>

#include "core/render/FieldPicture.h"
#include "core/view/Zoom.h"

namespace {

using render::FieldPicture;

mdlSprite::MolField OffField()
{
    mdlSprite::MolField f{};
    for (auto& row : f.cells)
        for (auto& c : row) c.x = c.y = -1000;
    return f;
}

TEST(FieldPictureZoom, EveryMoleculeIsOneScaledSpriteOnTheWindowsGrid)
{
    for (const int percent : {100, 128, 150, 200, 400}) {
        SCOPED_TRACE(percent);
        FieldPicture p;
        p.SetLayout(percent, 37, 20, FieldPicture::Order::Rgba);
        EXPECT_EQ(p.Width(), zoom::Edge(37, FieldPicture::kWidth, percent));
        EXPECT_EQ(p.Height(), zoom::Edge(20, FieldPicture::kHeight, percent));
        const int side = p.SpriteSide();
        EXPECT_EQ(side, zoom::Length(FieldPicture::kSprite, percent));
        mdlSprite::MolField f = OffField();
        // Even and odd places, where the grid gives a pixel one or two zoomed pixels.
        const std::pair<int, int> places[] = {{100, 101}, {151, 202}, {201, 300}, {0, 0}};
        for (std::size_t n = 0; n < std::size(places); ++n) {
            f.cells[1][n + 1].x = places[n].first;
            f.cells[1][n + 1].y = places[n].second;
        }
        p.Draw(f);
        for (auto [x, y] : places) {
            const int left = zoom::Edge(37, x, percent), top = zoom::Edge(20, y, percent);
            for (int dy = 0; dy < side; ++dy)
                for (int dx = 0; dx < side; ++dx)
                    ASSERT_EQ(p.At(left + dx, top + dy), p.ScaledSprite()[static_cast<std::size_t>(dy * side + dx)])
                        << x << "," << y << " +" << dx << "," << dy;
        }
        EXPECT_EQ(p.At(p.Width() - 1, p.Height() - 1), render::Rgb(0, 0, 0));
    }
}

TEST(FieldPictureZoom, EdgesClipAndTheOrderSwapsRedAndBlue)
{
    FieldPicture rgba, bgra;
    rgba.SetLayout(150, 37, 20, FieldPicture::Order::Rgba);
    bgra.SetLayout(150, 37, 20, FieldPicture::Order::Bgra);
    mdlSprite::MolField f = OffField();
    const auto put = [&f](int j, int x, int y) {
        f.cells[1][j].x = x;
        f.cells[1][j].y = y;
    };
    put(1, -5, FieldPicture::kHeight - 4); // partly off the bottom-left corner
    put(2, 2147483647, -2147483647 - 1);   // far out: nothing, and no overflow
    put(3, 50, 60);
    rgba.Draw(f);
    bgra.Draw(f);
    for (int y = 0; y < rgba.Height(); ++y)
        for (int x = 0; x < rgba.Width(); ++x) {
            const render::Pixel a = rgba.At(x, y), b = bgra.At(x, y);
            ASSERT_EQ(render::RedOf(a), render::BlueOf(b));
            ASSERT_EQ(render::GreenOf(a), render::GreenOf(b));
            ASSERT_EQ(render::BlueOf(a), render::RedOf(b));
        }
    // The centre of the 100 % sprite is what the scaled one shows at its centre.
    const int side = rgba.SpriteSide();
    EXPECT_EQ(rgba.ScaledSprite()[static_cast<std::size_t>(side / 2 * side + side / 2)],
              FieldPicture::Sprite()[5 * FieldPicture::kSprite + 5]);
}

} // namespace
