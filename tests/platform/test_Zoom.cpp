#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/Zoom.h"

TEST(Zoom, GridFloorsAndPartsMeetWithoutSeams)
{
    const struct { std::int64_t v; int percent; int scaled; } cases[] = {
        {37, 150, 55}, {38, 150, 57}, {-1, 150, -2}, {-3, 150, -5}, {800, 200, 1600},
        {559, 150, 838}, {559, 200, 1118}, {12, 100, 12},
        {12, 125, 12},                               // not a choice: 100 %
        {std::int64_t{1} << 40, 200, INT_MAX},       // saturates, no overflow
        {-(std::int64_t{1} << 40), 200, INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(zoom::Scale(c.v, c.percent), c.scaled) << c.v << " @" << c.percent;

    // A part drawn at its own offset lands exactly where the window's grid puts its pixels,
    // whatever the parity of the offset.
    for (int origin : {0, 37, 446, 464, -3})
        for (int v = -20; v <= 400; ++v)
            ASSERT_EQ(zoom::Scale(origin, 150) + zoom::Edge(origin, v, 150), zoom::Scale(origin + v, 150))
                << origin << "+" << v;
}

TEST(Zoom, MarksKeepOneSizeAndRectsFollowTheGrid)
{
    const struct { std::int64_t n; int percent; int length; } marks[] = {
        {1, 150, 2}, {3, 150, 5}, {10, 150, 15}, {3, 200, 6}, {10, 200, 20}, {3, 100, 3},
        {0, 150, 0}, {-4, 150, 0}, {std::int64_t{1} << 40, 200, INT_MAX},
    };
    for (const auto& m : marks) EXPECT_EQ(zoom::Length(m.n, m.percent), m.length) << m.n << " @" << m.percent;
    EXPECT_EQ(zoom::FontPixels(27, 150), 41);
    EXPECT_EQ(zoom::FontPixels(9, 200), 18);
    EXPECT_EQ(zoom::FontPixels(0, 200), 1);

    // txtOndo and picBack at 150 %: edges on the grid, so neighbours share their borders.
    EXPECT_EQ(zoom::ScaleRect({539, 428, 60, 36}, 150), (zoom::Rect{808, 642, 90, 54}));
    EXPECT_EQ(zoom::ScaleRect({37, 20, 371, 457}, 150), (zoom::Rect{55, 30, 557, 685}));
    EXPECT_EQ(zoom::ScaleRect({37, 20, 371, 457}, 200), (zoom::Rect{74, 40, 742, 914}));
}

TEST(Zoom, FullScreenTakesTheLargestZoomThatFits)
{
    const struct { int w, h, zoom; } screens[] = {
        {1920, 1200 - 30, 200}, // 1600 × 1118 fits below a menu bar
        {1920, 1080 - 30, 150}, // a 1080p projector: 200 % is 38 px too tall
        {1280, 1024 - 30, 150},
        {1024, 768 - 30, 100},
        {640, 480, 100},        // smaller than the window: never below 100 %
        {0, -5, 100},
    };
    for (const auto& s : screens) EXPECT_EQ(zoom::FitZoom(s.w, s.h, 800, 559), s.zoom) << s.w << "×" << s.h;
    EXPECT_TRUE(zoom::IsChoice(150));
    EXPECT_FALSE(zoom::IsChoice(175));
}
