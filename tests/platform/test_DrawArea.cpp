#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>

#include "platform/DrawArea.h"
#include "platform/Fonts.h"

using platform::DrawArea;

namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kRed = 0xffff0000;

// Pixels of the given colour, as a set of "x,y" for readable failures.
std::set<std::pair<int, int>> PixelsOf(const QImage& image, QRgb color)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color) pixels.insert({x, y});
    return pixels;
}

std::set<std::pair<int, int>> Box(int x1, int y1, int x2, int y2)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) pixels.insert({x, y});
    return pixels;
}

// A 10 × 10 sprite: a distinct colour per pixel and black corners.
QImage Sprite(QImage::Format format = DrawArea::kFormat)
{
    QImage sprite(10, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) sprite.setPixel(x, y, qRgb(10 + x * 20, 10 + y * 20, 77));
    for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}}) sprite.setPixel(x, y, kBlack);
    return sprite.convertToFormat(format);
}

} // namespace

TEST(DrawArea, FilledBoxIncludesBothCorners)
{
    const struct { int x1, y1, x2, y2; std::set<std::pair<int, int>> expected; } cases[] = {
        {2, 3, 4, 5, Box(2, 3, 4, 5)},           // 3 × 3
        {4, 5, 2, 3, Box(2, 3, 4, 5)},           // corners given the other way round
        {7, 7, 7, 7, Box(7, 7, 7, 7)},
        {-5, -5, 1, 0, Box(0, 0, 1, 0)},         // clipped at the top-left
        {18, 10, 25, 30, Box(18, 10, 19, 14)},   // and bottom-right
        {INT_MIN, 2, INT_MAX, 2, Box(0, 2, 19, 2)},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, Box(0, 0, 19, 14)},
        {-10, -10, -8, -8, {}},
        {20, 0, 22, 2, {}},
        {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, {}},
    };
    for (const auto& c : cases) {
        DrawArea area(20, 15, kWhite);
        area.FillBox(c.x1, c.y1, c.x2, c.y2, kRed);
        EXPECT_EQ(PixelsOf(area.Image(), kRed), c.expected)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(DrawArea, LineIsOnePixelWideWithBothEnds)
{
    const struct { int x1, y1, x2, y2; std::set<std::pair<int, int>> expected; } cases[] = {
        {3, 10, 3, 2, Box(3, 2, 3, 10)},
        {1, 4, 6, 4, Box(1, 4, 6, 4)},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}}, // halves round up
        {2, 0, 0, 4, {{2, 0}, {2, 1}, {1, 2}, {1, 3}, {0, 4}}},
        {15, INT_MIN, 15, INT_MAX, Box(15, 0, 15, 14)},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, Box(0, 0, 0, 0)}, // diagonal through the origin…
        {-30, -30, -20, -40, {}},
    };
    for (const auto& c : cases) {
        DrawArea area(20, 15, kWhite);
        area.Line(c.x1, c.y1, c.x2, c.y2, kRed);
        const auto drawn = PixelsOf(area.Image(), kRed);
        if (c.x1 == INT_MIN && c.y1 == INT_MIN) { // …and on along it
            EXPECT_EQ(drawn.size(), 15u);
            for (auto [x, y] : drawn) EXPECT_EQ(x, y);
            continue;
        }
        EXPECT_EQ(drawn, c.expected) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(DrawArea, BlockCopyReplacesPixelsAndClipsAtEveryEdge)
{
    const QImage sprite = Sprite();
    const struct { int x, y; } places[] = {
        {5, 6}, {0, 0}, {-3, -4}, {-9, 2}, {12, -9}, {15, 8}, {19, 14}, {-10, 0}, {20, 3},
        {4, 15}, {2, -10}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}, {0, INT_MIN},
    };
    for (const auto [px, py] : places) {
        for (QImage::Format format : {DrawArea::kFormat, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGB888}) {
            DrawArea area(20, 15, kWhite);
            area.CopyBlock(Sprite(format), px, py);
            for (int y = 0; y < 15; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const long long sx = static_cast<long long>(x) - px;
                    const long long sy = static_cast<long long>(y) - py;
                    const bool inside = sx >= 0 && sx < 10 && sy >= 0 && sy < 10;
                    const QRgb expected =
                        inside ? sprite.pixel(static_cast<int>(sx), static_cast<int>(sy)) : kWhite;
                    ASSERT_EQ(area.Image().pixel(x, y), expected)
                        << "sprite at " << px << "," << py << " pixel " << x << "," << y;
                }
            }
        }
    }
    // A source smaller than the block copies what it has.
    DrawArea area(20, 15, kWhite);
    area.CopyBlock(DrawArea::Prepared(sprite.copy(0, 0, 3, 2)), 1, 1);
    EXPECT_EQ(PixelsOf(area.Image(), kWhite).size(), 20u * 15 - 6);
    EXPECT_EQ(area.Image().pixel(1, 1), kBlack);
}

TEST(DrawArea, TextTopLeftLiesAtTheCurrentPosition)
{
    DrawArea area(80, 60, kWhite);
    area.SetFont(platform::ProportionalFont(27));
    area.SetTextPos(20, 15);
    area.Print(QStringLiteral("8"));
    EXPECT_EQ(area.TextX(), 20);
    int top = INT_MAX, left = INT_MAX, bottom = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (qGray(area.Image().pixel(x, y)) < 128) {
                top = std::min(top, y);
                left = std::min(left, x);
                bottom = std::max(bottom, y);
            }
    const QFontMetrics fm(area.Font());
    const QRect glyph = fm.tightBoundingRect(QStringLiteral("8")); // relative to the baseline
    EXPECT_NEAR(top, 15 + fm.ascent() + glyph.top(), 1);
    EXPECT_NEAR(bottom, 15 + fm.ascent() + glyph.bottom(), 1);
    EXPECT_NEAR(left, 20 + glyph.left(), 1);
    EXPECT_GE(top, 15);
    EXPECT_LT(bottom, 15 + fm.height());
}

TEST(DrawAreaView, RefreshShowsTheWholeImage)
{
    DrawArea area(30, 20, kBlack);
    platform::DrawAreaView view(area);
    EXPECT_EQ(view.size(), QSize(30, 20));
    area.FillBox(0, 0, 29, 9, kRed);
    area.Refresh();
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5), kRed);
    EXPECT_EQ(shown.pixel(5, 15), kBlack);
}

TEST(Fonts, PointSizesAsPixelsAt96Dpi)
{
    const struct { double points; int pixels; } sizes[] = {
        {20.25, 27}, {14.25, 19}, {12, 16}, {11.25, 15}, {9, 12}, {6.75, 9}};
    for (const auto& s : sizes) EXPECT_EQ(platform::PixelsForPoints(s.points), s.pixels);
    const QFont font = platform::ProportionalFont(9, true);
    EXPECT_EQ(font.pixelSize(), 9);
    EXPECT_TRUE(font.bold());
    const QStringList japanese = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                                  QStringLiteral("Noto Sans CJK JP")};
    EXPECT_TRUE(japanese.contains(platform::ProportionalFamily()));
    EXPECT_EQ(platform::MonospaceFont(12).pixelSize(), 12);
}
