#include <gtest/gtest.h>

#include "core/graph/PrintLayout.h"

using namespace printlayout;

TEST(PrintLayout, PictureKeepsItsAspectAndTheTableKeepsTheNewestRows)
{
    struct Case { int w, h; std::size_t points; bool title; };
    const Case cases[] = {
        {1050, 1162, 0, false}, {1050, 1162, 3, true}, {1050, 1162, 100000, true},
        {4000, 100, 10, true},  // very wide: the width limits
        {1, 1, 1, false}, {0, -3, 5, true}, // nonsense sizes still give a page
    };
    for (const Case& c : cases) {
        const Page p = LayoutPage(c.w, c.h, c.points, c.title);
        const std::string at = std::to_string(c.w) + "×" + std::to_string(c.h) + " " + std::to_string(c.points);
        EXPECT_EQ(p.title.height > 0, c.title) << at;
        EXPECT_GT(p.picture.width, 0) << at;
        EXPECT_GT(p.picture.height, 0) << at;
        EXPECT_LE(p.picture.width, kContentWidth) << at;
        EXPECT_LE(p.picture.height, kPictureMaxHeight) << at;
        EXPECT_GE(p.picture.x, 0) << at;
        EXPECT_GE(p.picture.y, c.title ? kTitleHeight : 0) << at;
        if (c.w > 0 && c.h > 0) // the aspect, to a tenth of a millimetre
            EXPECT_NEAR(double(p.picture.width) / p.picture.height, double(c.w) / c.h,
                        double(c.w) / c.h / std::min(p.picture.width, p.picture.height) + 1e-9) << at;
        EXPECT_EQ(p.first + p.shown, c.points) << at;
        EXPECT_GT(p.rowsPerColumn, 10) << at;
        EXPECT_EQ(p.note.height > 0, p.first > 0) << at;
        // Everything on the page, the last row included.
        EXPECT_LE(p.table.y + p.table.height, kContentHeight) << at;
        if (p.shown > 0) {
            const Box last = RowBox(p, p.shown - 1);
            EXPECT_LE(last.y + last.height, kContentHeight) << at;
            EXPECT_LE(last.x + last.width, kContentWidth) << at;
            EXPECT_GE(last.y, p.picture.y + p.picture.height) << at;
        }
        if (p.note.height > 0) EXPECT_LE(p.note.y + p.note.height, kContentHeight) << at;
    }
    // A full page: three columns, filled down first.
    const Page full = LayoutPage(1050, 1162, 100000, true);
    EXPECT_EQ(full.shown, std::size_t(kColumns) * full.rowsPerColumn);
    EXPECT_EQ(RowBox(full, 1).y - RowBox(full, 0).y, kRowHeight);
    EXPECT_EQ(RowBox(full, full.rowsPerColumn).x, full.columnWidth);
}
