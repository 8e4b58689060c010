#pragma once
// Where things lie on the printed page of results, in tenths of a millimetre inside the
// page's margins of an A4 sheet. Plain integers, no toolkit.
#include <cstddef>

namespace printlayout {

constexpr int kContentWidth = 1900;  // 210 mm less 10 mm each side
constexpr int kContentHeight = 2770; // 297 mm less 10 mm each side
constexpr int kTitleHeight = 100;
constexpr int kPictureMaxHeight = 1450;
constexpr int kRowHeight = 50;
constexpr int kColumns = 3;
constexpr int kNoteHeight = 60;

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

struct Page {
    Box title;   // empty when there is no title
    Box picture; // the report picture, its aspect kept, centred
    Box table;   // header row, then rows down each column
    int rowsPerColumn = 0;
    int columnWidth = 0;
    std::size_t first = 0; // index of the first point shown (older ones do not fit)
    std::size_t shown = 0;
    Box note; // below the table: how many were left out; empty when none
};

// pictureWidth × pictureHeight in pixels (any positive size); points recorded.
Page LayoutPage(int pictureWidth, int pictureHeight, std::size_t points, bool hasTitle);

// Top-left of table cell (column c, row r, 0 = first data row) for point index i of those
// shown.
Box RowBox(const Page& page, std::size_t i);

} // namespace printlayout
