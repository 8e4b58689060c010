#include "core/graph/PrintLayout.h"

#include <algorithm>
#include <cstdint>

namespace printlayout {

Page LayoutPage(int pictureWidth, int pictureHeight, std::size_t points, bool hasTitle)
{
    Page p;
    int y = 0;
    if (hasTitle) {
        p.title = {0, 0, kContentWidth, kTitleHeight};
        y = kTitleHeight + 20;
    }
    const std::int64_t w = std::max(1, pictureWidth), h = std::max(1, pictureHeight);
    // The largest size of the picture's aspect within the width and the height allowed.
    std::int64_t pw = kContentWidth, ph = pw * h / w;
    if (ph > kPictureMaxHeight) {
        ph = kPictureMaxHeight;
        pw = std::max<std::int64_t>(1, ph * w / h);
    }
    ph = std::max<std::int64_t>(1, ph);
    p.picture = {static_cast<int>((kContentWidth - pw) / 2), y, static_cast<int>(pw), static_cast<int>(ph)};
    y += static_cast<int>(ph) + 80;

    p.columnWidth = kContentWidth / kColumns;
    p.rowsPerColumn = std::max(0, (kContentHeight - y - kRowHeight - kNoteHeight) / kRowHeight);
    const std::size_t capacity = static_cast<std::size_t>(kColumns) * static_cast<std::size_t>(p.rowsPerColumn);
    p.shown = std::min(points, capacity);
    p.first = points - p.shown;
    const int rowsUsed = static_cast<int>(std::min<std::size_t>(p.shown, static_cast<std::size_t>(p.rowsPerColumn)));
    p.table = {0, y, kContentWidth, kRowHeight * (1 + rowsUsed)};
    if (p.first > 0) p.note = {0, p.table.y + p.table.height + 10, kContentWidth, kNoteHeight - 10};
    return p;
}

Box RowBox(const Page& page, std::size_t i)
{
    if (page.rowsPerColumn <= 0) return {};
    const auto rows = static_cast<std::size_t>(page.rowsPerColumn);
    const int column = static_cast<int>(i / rows), row = static_cast<int>(i % rows);
    return {column * page.columnWidth, page.table.y + kRowHeight * (row + 1), page.columnWidth, kRowHeight};
}

} // namespace printlayout
