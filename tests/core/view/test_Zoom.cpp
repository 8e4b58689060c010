#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/view/Zoom.h"

TEST(Zoom, GridFloorsAndPartsMeetWithoutSeams)
{
    const struct { std::int64_t v; int percent; int scaled; } cases[] = {
        {37, 150, 55}, {38, 150, 57}, {-1, 150, -2}, {-3, 150, -5}, {800, 200, 1600},
        {559, 150, 838}, {559, 200, 1118}, {12, 100, 12},
        {12, 128, 15}, {800, 128, 1024}, {559, 128, 715}, // full screen's whole percents
        {12, 99, 12}, {12, 401, 12},                 // outside 100..400: 100 %
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

TEST(Zoom, MenuOffersWhatFitsAndFullScreenFillsInWholePercents)
{
    const zoom::Size client{800, 559};
    const int menuBar = 22; // design pixels; scales with the view
    const zoom::Chrome noFrame{menuBar, {}}, framed{menuBar, {10, 40}};
    struct Case {
        zoom::Size space;
        zoom::Chrome chrome;
        bool fits150, fits200;
        int remembered200; // what a remembered 200 % opens with
        int full;          // full screen on a screen of that size
    };
    const Case cases[] = {
        {{1024, 768}, noFrame, false, false, 100, 128},  // 150 %: 1200 wide
        {{1280, 800}, noFrame, false, false, 100, 137},  // 150 %: the readout below the edge
        {{1366, 768}, noFrame, false, false, 100, 132},
        {{1920, 1080}, noFrame, true, false, 150, 186},  // 200 %: 1118 + the menu bar
        {{1920, 1200}, noFrame, true, true, 200, 206},
        {{1920, 1200 - 30}, framed, true, false, 150, 201}, // a panel and a frame take the rest
        {{640, 480}, noFrame, false, false, 100, 100},   // nothing fits: never below 100 %
        {{0, -5}, noFrame, false, false, 100, 100},
        {{100000, 100000}, noFrame, true, true, 200, zoom::kMaxPercent},
    };
    for (const Case& c : cases) {
        const std::string at = std::to_string(c.space.width) + "×" + std::to_string(c.space.height);
        EXPECT_EQ(zoom::Fits(150, c.space, client, c.chrome), c.fits150) << at;
        EXPECT_EQ(zoom::Fits(200, c.space, client, c.chrome), c.fits200) << at;
        EXPECT_EQ(zoom::FallbackZoom(200, c.space, client, c.chrome), c.remembered200) << at;
        EXPECT_EQ(zoom::FullScreenZoom(c.space, client, menuBar), c.full) << at;
        // The zoom chosen fits and one percent more would not.
        if (c.full > 100 && c.full < zoom::kMaxPercent) {
            EXPECT_TRUE(zoom::Fits(c.full, c.space, client, noFrame)) << at;
            EXPECT_FALSE(zoom::Fits(c.full + 1, c.space, client, noFrame)) << at;
        }
    }
    EXPECT_EQ(zoom::FallbackZoom(150, {1920, 1080}, client, noFrame), 150); // fits: kept
    EXPECT_EQ(zoom::FallbackZoom(175, {1920, 1200}, client, noFrame), 200); // not a choice
    // The window's outer size: the frame does not scale, the menu bar does.
    EXPECT_EQ(zoom::WindowSize(150, client, framed).width, 1210);
    EXPECT_EQ(zoom::WindowSize(150, client, framed).height, 838 + 33 + 40);

    // At a full-screen zoom every molecule and point keeps one size wherever it lies, and
    // the picture's grid still meets itself without seams.
    EXPECT_EQ(zoom::Length(10, 128), 13);
    EXPECT_EQ(zoom::Length(3, 137), 4);
    for (int v = 0; v < 400; ++v) ASSERT_LE(zoom::Scale(v + 1, 128) - zoom::Scale(v, 128), 2);
}
