#include "platform/DrawArea.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// [lo, hi] clipped to [0, size - 1]; false when nothing is left.
bool ClipSpan(std::int64_t a, std::int64_t b, int size, int& lo, int& hi)
{
    const std::int64_t from = std::max<std::int64_t>(std::min(a, b), 0);
    const std::int64_t to = std::min<std::int64_t>(std::max(a, b), std::int64_t{size} - 1);
    if (from > to) return false;
    lo = static_cast<int>(from);
    hi = static_cast<int>(to);
    return true;
}

} // namespace

DrawArea::DrawArea(int width, int height, QRgb background)
    : image_(std::max(width, 1), std::max(height, 1), kFormat)
{
    image_.fill(background);
}

QImage DrawArea::Prepared(const QImage& source)
{
    return source.convertToFormat(kFormat);
}

void DrawArea::FillBox(int x1, int y1, int x2, int y2, QRgb color)
{
    int left, right, top, bottom;
    if (!ClipSpan(x1, x2, Width(), left, right) || !ClipSpan(y1, y2, Height(), top, bottom))
        return;
    if (left == 0 && top == 0 && right == Width() - 1 && bottom == Height() - 1) {
        image_.fill(color);
        return;
    }
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const int count = right - left + 1;
    for (int y = top; y <= bottom; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + left, count, color);
}

void DrawArea::Line(int x1, int y1, int x2, int y2, QRgb color)
{
    if (x1 == x2 || y1 == y2) {
        FillBox(x1, y1, x2, y2, color);
        return;
    }
    // Walk the longer axis, only over the part of it inside the image; the other
    // coordinate is rounded exactly in 128 bits, so far ends cannot overflow.
    const bool steep = std::llabs(std::int64_t{y2} - y1) > std::llabs(std::int64_t{x2} - x1);
    std::int64_t a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
    std::int64_t a2 = steep ? y2 : x2, b2 = steep ? x2 : y2;
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int majorSize = steep ? Height() : Width();
    const int minorSize = steep ? Width() : Height();
    int from, to;
    if (!ClipSpan(a1, a2, majorSize, from, to)) return;
    const __int128 da = a2 - a1, db = b2 - b1;
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int a = from; a <= to; ++a) {
        const __int128 num = 2 * (a - a1) * db + da; // round half up: floor((2k·db + da) / 2da)
        __int128 q = num / (2 * da);
        if (num % (2 * da) < 0) --q;
        const std::int64_t b = b1 + static_cast<std::int64_t>(q);
        if (b < 0 || b >= minorSize) continue;
        const int px = steep ? static_cast<int>(b) : a;
        const int py = steep ? a : static_cast<int>(b);
        reinterpret_cast<QRgb*>(bits + py * stride)[px] = color;
    }
}

void DrawArea::Print(const QString& text)
{
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(textColor_));
    const int ascent = painter.fontMetrics().ascent();
    painter.drawText(QPoint(textX_, textY_ + ascent), text);
}

void DrawArea::CopyBlock(const QImage& source, int x, int y)
{
    if (source.format() != kFormat) {
        CopyBlock(Prepared(source), x, y);
        return;
    }
    const std::int64_t w = std::min(kBlockSize, source.width());
    const std::int64_t h = std::min(kBlockSize, source.height());
    const std::int64_t srcX = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t srcY = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t endX = std::min<std::int64_t>(std::int64_t{x} + w, Width());
    const std::int64_t endY = std::min<std::int64_t>(std::int64_t{y} + h, Height());
    const std::int64_t dstX = x + srcX, dstY = y + srcY;
    if (dstX >= endX || dstY >= endY) return;
    const std::size_t bytes = static_cast<std::size_t>(endX - dstX) * sizeof(QRgb);
    const qsizetype dstStride = image_.bytesPerLine(), srcStride = source.bytesPerLine();
    uchar* dst = image_.bits() + dstY * dstStride + dstX * std::int64_t{sizeof(QRgb)};
    const uchar* src = source.constBits() + srcY * srcStride + srcX * std::int64_t{sizeof(QRgb)};
    for (std::int64_t row = dstY; row < endY; ++row) {
        std::memcpy(dst, src, bytes);
        dst += dstStride;
        src += srcStride;
    }
}

void DrawArea::Refresh()
{
    if (view_) view_->update();
}

DrawAreaView::DrawAreaView(DrawArea& area, QWidget* parent)
    : QWidget(parent), area_(area)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(area.Width(), area.Height());
    area_.AttachView(this);
}

void DrawAreaView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, area_.Image());
}

} // namespace platform
