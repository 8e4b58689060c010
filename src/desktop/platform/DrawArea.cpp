#include "desktop/platform/DrawArea.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "core/view/Zoom.h"

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

// Pixels of a box, already clipped, in the area's format.
void FillPixels(QImage& image, int left, int top, int right, int bottom, QRgb color)
{
    if (left == 0 && top == 0 && right == image.width() - 1 && bottom == image.height() - 1) {
        image.fill(color);
        return;
    }
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int count = right - left + 1;
    for (int y = top; y <= bottom; ++y)
        std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + left, count, color);
}

// Text further out than this cannot reach the area, and painting it could overflow.
constexpr std::int64_t kFarText = std::int64_t{1} << 20;

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

void DrawArea::Overdraw(const QRect& rect)
{
    for (PrintedText& t : texts_)
        if (!t.overdrawn && t.bounds.intersects(rect)) t.overdrawn = true;
}

void DrawArea::FillBox(int x1, int y1, int x2, int y2, QRgb color)
{
    int left, right, top, bottom;
    if (!ClipSpan(x1, x2, Width(), left, right) || !ClipSpan(y1, y2, Height(), top, bottom))
        return;
    const bool whole = left == 0 && top == 0 && right == Width() - 1 && bottom == Height() - 1;
    if (whole && zoom_ != 100 && plain_.isNull()) {
        // A frame starts: the image follows once it is needed.
        deferred_.on = true;
        deferred_.fill = color;
        deferred_.hasBlock = false;
        deferred_.places.clear();
        FillZoomed(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), color);
        texts_.clear();
        textsDropped_ = false;
        return;
    }
    Settle();
    FillPixels(image_, left, top, right, bottom, color);
    if (zoom_ != 100)
        FillZoomed(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), color);
    if (!plain_.isNull()) FillPixels(plain_, left, top, right, bottom, color);
    if (whole) {
        texts_.clear(); // keeps its capacity
        textsDropped_ = false;
    } else if (!texts_.empty()) {
        Overdraw(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
}

void DrawArea::KeepTextApart(bool on)
{
    if (on == keepText_) return;
    keepText_ = on;
    if (on) {
        textsDropped_ = true; // until the next blanking
        return;
    }
    plain_ = QImage();
    texts_.clear();
    texts_.shrink_to_fit();
    textsDropped_ = false;
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
    Settle();
    const __int128 da = a2 - a1, db = b2 - b1;
    const qsizetype stride = image_.bytesPerLine();
    uchar* const bits = image_.bits();
    uchar* const plainBits = plain_.isNull() ? nullptr : plain_.bits();
    int minX = INT_MAX, minY = INT_MAX, maxX = -1, maxY = -1;
    for (int a = from; a <= to; ++a) {
        const __int128 num = 2 * (a - a1) * db + da; // round half up: floor((2k·db + da) / 2da)
        __int128 q = num / (2 * da);
        if (num % (2 * da) < 0) --q;
        const std::int64_t b = b1 + static_cast<std::int64_t>(q);
        if (b < 0 || b >= minorSize) continue;
        const int px = steep ? static_cast<int>(b) : a;
        const int py = steep ? a : static_cast<int>(b);
        reinterpret_cast<QRgb*>(bits + py * stride)[px] = color;
        if (zoom_ != 100) FillZoomed(px, py, px, py, color);
        if (plainBits) {
            reinterpret_cast<QRgb*>(plainBits + py * stride)[px] = color;
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
    }
    if (maxX >= 0 && !texts_.empty()) Overdraw(QRect(QPoint(minX, minY), QPoint(maxX, maxY)));
}

void DrawArea::Print(const QString& text)
{
    if (textX_ < -kFarText || textX_ > Width() + kFarText || textY_ < -kFarText
        || textY_ > Height() + kFarText)
        return; // nothing of it could show
    Settle();
    if (keepText_ && plain_.isNull()) {
        plain_ = image_.copy(); // once per area: later texts reuse it
        texts_.reserve(kMaxTexts);
    }
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(textColor_));
    const QFontMetrics metrics = painter.fontMetrics();
    const QPoint baseline(textX_, textY_ + metrics.ascent());
    painter.drawText(baseline, text);
    if (!keepText_) return;
    if (texts_.size() == kMaxTexts) {
        textsDropped_ = true;
        return;
    }
    // Every pixel the text can set, with one to spare for antialiasing.
    const QRect box = metrics.boundingRect(text).translated(baseline).adjusted(-1, -1, 1, 1);
    texts_.push_back({baseline, box, font_, textColor_, text, false, QPoint(textX_, textY_)});
}

namespace {

// A whole block of fixed size, the case of nearly every sprite of a frame: the compiler
// turns each row into a few moves.
void CopyWholeBlock(uchar* dst, qsizetype dstStride, const uchar* src, qsizetype srcStride)
{
    constexpr std::size_t kRowBytes = DrawArea::kBlockSize * sizeof(QRgb);
    for (int row = 0; row < DrawArea::kBlockSize; ++row) {
        std::memcpy(dst, src, kRowBytes);
        dst += dstStride;
        src += srcStride;
    }
}

// Rows of pixels from a source of the areas' format, already clipped.
void CopyRows(QImage& image, const uchar* source, qsizetype srcStride, std::int64_t srcX,
              std::int64_t srcY, std::int64_t dstX, std::int64_t dstY, std::int64_t endX,
              std::int64_t endY)
{
    const std::size_t bytes = static_cast<std::size_t>(endX - dstX) * sizeof(QRgb);
    const qsizetype dstStride = image.bytesPerLine();
    uchar* dst = image.bits() + dstY * dstStride + dstX * std::int64_t{sizeof(QRgb)};
    const uchar* src = source + srcY * srcStride + srcX * std::int64_t{sizeof(QRgb)};
    for (std::int64_t row = dstY; row < endY; ++row) {
        std::memcpy(dst, src, bytes);
        dst += dstStride;
        src += srcStride;
    }
}

} // namespace

DrawArea::Block DrawArea::PreparedBlock(const QImage& source)
{
    Block block;
    const QImage prepared = Prepared(source);
    for (int y = 0; y < std::min(kBlockSize, prepared.height()); ++y)
        for (int x = 0; x < std::min(kBlockSize, prepared.width()); ++x)
            block.pixels[y * kBlockSize + x] = prepared.pixel(x, y);
    return block;
}

void DrawArea::CopyBlock(const QImage& source, int x, int y)
{
    if (source.format() != kFormat) {
        CopyBlock(Prepared(source), x, y);
        return;
    }
    CopyPixels(source.constBits(), source.bytesPerLine(), std::min(kBlockSize, source.width()),
               std::min(kBlockSize, source.height()), x, y);
}

void DrawArea::CopyBlock(const Block& block, int x, int y)
{
    CopyPixels(reinterpret_cast<const uchar*>(block.pixels), kBlockSize * qsizetype{sizeof(QRgb)},
               kBlockSize, kBlockSize, x, y);
}

DrawArea::BlockCopier::BlockCopier(DrawArea& area, const Block& block)
    : area_(area), block_(block)
{
    // Only an area without printed texts has nothing but its image, and its zoomed copy,
    // to keep up to date.
    if (!area.plain_.isNull() || !area.texts_.empty()) return;
    Deferred& d = area.deferred_;
    if (d.on && d.hasBlock && std::memcmp(d.block.pixels, block.pixels, sizeof block.pixels) != 0)
        area.Settle(); // one block a frame: another one draws as usual
    if (area.zoom_ != 100) zoomed_ = area.ReadyZoomedTarget(block);
    if (d.on) {
        if (!d.hasBlock) {
            d.block = block;
            d.hasBlock = true;
        }
        deferred_ = true;
        return;
    }
    bits_ = area.image_.bits();
    stride_ = area.image_.bytesPerLine();
    maxX_ = area.Width() - kBlockSize;
    maxY_ = area.Height() - kBlockSize;
}

void DrawArea::CopyDeferred(const ZoomedTarget& target, int x, int y)
{
    if (!deferred_.on) { // settled meanwhile
        CopyBlock(deferred_.block, x, y);
        return;
    }
    deferred_.places.push_back(QPoint(x, y));
    if (target.bits && x >= 0 && y >= 0 && x <= target.maxX && y <= target.maxY && target.PlaceInside(x, y))
        return;
    CopyZoomed(reinterpret_cast<const uchar*>(deferred_.block.pixels), kBlockSize * qsizetype{sizeof(QRgb)},
               kBlockSize, kBlockSize, x, y);
}

void DrawArea::Settle() const
{
    if (!deferred_.on) return;
    deferred_.on = false;
    image_.fill(deferred_.fill);
    const uchar* src = reinterpret_cast<const uchar*>(deferred_.block.pixels);
    constexpr qsizetype kStride = kBlockSize * qsizetype{sizeof(QRgb)};
    const qsizetype stride = image_.bytesPerLine();
    uchar* const bits = image_.bits();
    for (const QPoint p : deferred_.places) {
        const std::int64_t x = p.x(), y = p.y();
        if (x >= 0 && y >= 0 && x <= Width() - kBlockSize && y <= Height() - kBlockSize) {
            CopyWholeBlock(bits + y * stride + x * std::int64_t{sizeof(QRgb)}, stride, src, kStride);
            continue;
        }
        const std::int64_t srcX = std::max<std::int64_t>(0, -x), srcY = std::max<std::int64_t>(0, -y);
        const std::int64_t endX = std::min<std::int64_t>(x + kBlockSize, Width());
        const std::int64_t endY = std::min<std::int64_t>(y + kBlockSize, Height());
        if (x + srcX < endX && y + srcY < endY)
            CopyRows(image_, src, kStride, srcX, srcY, x + srcX, y + srcY, endX, endY);
    }
    deferred_.places.clear();
}

void DrawArea::CopyFrom(const QImage& picture, int left, int top, int right, int bottom)
{
    if (picture.size() != image_.size()) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width() - 1);
    bottom = std::min(bottom, Height() - 1);
    if (left > right || top > bottom) return;
    const QImage source = picture.format() == kFormat ? picture : picture.convertToFormat(kFormat);
    if (left == 0 && top == 0 && right == Width() - 1 && bottom == Height() - 1) {
        texts_.clear();
        textsDropped_ = false;
    }
    CopyPixels(source.constBits() + top * source.bytesPerLine() + left * qsizetype{sizeof(QRgb)},
               source.bytesPerLine(), right - left + 1, bottom - top + 1, left, top);
}

void DrawArea::CopyPixels(const uchar* source, qsizetype srcStride, int w, int h, int x, int y)
{
    Settle();
    if (zoom_ != 100) CopyZoomed(source, srcStride, w, h, x, y);
    if (w == kBlockSize && h == kBlockSize && x >= 0 && y >= 0 && x <= Width() - kBlockSize
        && y <= Height() - kBlockSize && texts_.empty()) {
        const qsizetype stride = image_.bytesPerLine();
        const qsizetype at = y * stride + x * qsizetype{sizeof(QRgb)};
        CopyWholeBlock(image_.bits() + at, stride, source, srcStride);
        if (!plain_.isNull()) CopyWholeBlock(plain_.bits() + at, stride, source, srcStride);
        return;
    }
    const std::int64_t srcX = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t srcY = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t endX = std::min<std::int64_t>(std::int64_t{x} + w, Width());
    const std::int64_t endY = std::min<std::int64_t>(std::int64_t{y} + h, Height());
    const std::int64_t dstX = x + srcX, dstY = y + srcY;
    if (dstX >= endX || dstY >= endY) return;
    CopyRows(image_, source, srcStride, srcX, srcY, dstX, dstY, endX, endY);
    if (plain_.isNull()) return;
    CopyRows(plain_, source, srcStride, srcX, srcY, dstX, dstY, endX, endY);
    if (!texts_.empty())
        Overdraw(QRect(static_cast<int>(dstX), static_cast<int>(dstY), static_cast<int>(endX - dstX),
                       static_cast<int>(endY - dstY)));
}

void DrawArea::Draw(QPainter& painter, qreal devicePixelRatio) const
{
    // Pixel art is scaled pixel for pixel, never smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (zoom_ != 100) {
        DrawZoomed(painter);
        return;
    }
    if (devicePixelRatio <= 1.0 || texts_.empty() || textsDropped_) {
        painter.drawImage(0, 0, image_);
        return;
    }
    painter.drawImage(0, 0, plain_);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PrintedText& t : texts_) {
        if (t.overdrawn) {
            const QRect shown = t.bounds.intersected(image_.rect());
            if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), image_, shown);
            continue;
        }
        painter.setFont(t.font);
        painter.setPen(QColor::fromRgb(t.color));
        painter.drawText(t.baseline, t.text);
    }
}

void DrawArea::SetZoom(int percent, QPoint origin)
{
    Settle();
    zoom_ = zoom::IsZoom(percent) ? percent : 100;
    zoomOrigin_ = origin;
    zoomedBlock_ = QImage();
    zoomedBlockSource_ = QImage();
    zoomedCols_.clear();
    zoomedRows_.clear();
    if (zoom_ != 100) {
        zoomedCols_.resize(static_cast<std::size_t>(Width()) + 1);
        zoomedRows_.resize(static_cast<std::size_t>(Height()) + 1);
        for (std::size_t v = 0; v < zoomedCols_.size(); ++v)
            zoomedCols_[v] = zoom::Edge(origin.x(), static_cast<std::int64_t>(v), zoom_);
        for (std::size_t v = 0; v < zoomedRows_.size(); ++v)
            zoomedRows_[v] = zoom::Edge(origin.y(), static_cast<std::int64_t>(v), zoom_);
    }
    zoomed_ = zoom_ == 100 ? QImage() : ZoomImage(plain_.isNull() ? image_ : plain_, zoom_, origin);
}

QSize DrawArea::ZoomedSize() const
{
    if (zoom_ == 100) return image_.size();
    return {zoom::Edge(zoomOrigin_.x(), Width(), zoom_), zoom::Edge(zoomOrigin_.y(), Height(), zoom_)};
}

void DrawArea::FillZoomed(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          QRgb color)
{
    // A mark keeps one size wherever it lies; a larger box still covers its grid cells.
    const auto span = [this](std::int64_t lo, std::int64_t hi, int origin, int size, int& from, int& to) {
        const std::int64_t start = zoom::Edge(origin, lo, zoom_);
        const std::int64_t end = std::max<std::int64_t>(zoom::Edge(origin, hi + 1, zoom_),
                                                        start + zoom::Length(hi - lo + 1, zoom_));
        return ClipSpan(start, end - 1, size, from, to);
    };
    int left, right, top, bottom;
    if (!span(x1, x2, zoomOrigin_.x(), zoomed_.width(), left, right)
        || !span(y1, y2, zoomOrigin_.y(), zoomed_.height(), top, bottom))
        return;
    FillPixels(zoomed_, left, top, right, bottom, color);
}

namespace {

// The zoomed edge of pixel v of the area, from the table within the area.
int EdgeOf(const std::vector<int>& table, int origin, std::int64_t v, int percent)
{
    if (v >= 0 && v < static_cast<std::int64_t>(table.size())) return table[static_cast<std::size_t>(v)];
    return zoom::Edge(origin, v, percent);
}

template <int W>
void CopyFixedRows(uchar* dst, qsizetype dstStride, const uchar* src, qsizetype srcStride, int rows)
{
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        std::memcpy(dst, src, W * sizeof(QRgb));
}

} // namespace

void DrawArea::ReadyZoomedBlock(const uchar* source, qsizetype srcStride, int w, int h)
{
    // Told apart by the pixels themselves: a frame copies one sprite 555 times, scaled once.
    // A larger picture is scaled each time, and not kept.
    bool same = zoomedBlockSource_.width() == w && zoomedBlockSource_.height() == h;
    const uchar* kept = zoomedBlockSource_.constBits();
    const qsizetype keptStride = zoomedBlockSource_.bytesPerLine();
    for (int row = 0; same && row < h; ++row)
        same = !std::memcmp(kept + row * keptStride, source + row * srcStride,
                            static_cast<std::size_t>(w) * sizeof(QRgb));
    if (same) return;
    const QImage view(source, w, h, srcStride, kFormat);
    const bool block = w <= kBlockSize && h <= kBlockSize;
    zoomedBlockSource_ = block ? view.copy() : QImage();
    zoomedBlock_ = view.scaled(zoom::Length(w, zoom_), zoom::Length(h, zoom_), Qt::IgnoreAspectRatio,
                               Qt::FastTransformation)
                       .convertToFormat(kFormat);
}

void DrawArea::PlaceZoomedBlock(std::int64_t left, std::int64_t top)
{
    const int w = zoomedBlock_.width(), h = zoomedBlock_.height();
    const qsizetype srcStride = zoomedBlock_.bytesPerLine();
    const std::int64_t srcX = std::max<std::int64_t>(0, -left);
    const std::int64_t srcY = std::max<std::int64_t>(0, -top);
    const std::int64_t endX = std::min<std::int64_t>(left + w, zoomed_.width());
    const std::int64_t endY = std::min<std::int64_t>(top + h, zoomed_.height());
    const std::int64_t dstX = left + srcX, dstY = top + srcY;
    if (dstX >= endX || dstY >= endY) return;
    CopyRows(zoomed_, zoomedBlock_.constBits(), srcStride, srcX, srcY, dstX, dstY, endX, endY);
}

void DrawArea::CopyZoomed(const uchar* source, qsizetype srcStride, int w, int h, int x, int y)
{
    if (w <= 0 || h <= 0) return;
    ReadyZoomedBlock(source, srcStride, w, h);
    PlaceZoomedBlock(EdgeOf(zoomedCols_, zoomOrigin_.x(), x, zoom_),
                     EdgeOf(zoomedRows_, zoomOrigin_.y(), y, zoom_));
}

DrawArea::ZoomedTarget DrawArea::ReadyZoomedTarget(const Block& block)
{
    ReadyZoomedBlock(reinterpret_cast<const uchar*>(block.pixels), kBlockSize * qsizetype{sizeof(QRgb)},
                     kBlockSize, kBlockSize);
    ZoomedTarget t;
    t.bits = zoomed_.bits();
    t.stride = zoomed_.bytesPerLine();
    t.width = zoomed_.width();
    t.height = zoomed_.height();
    t.block = zoomedBlock_.constBits();
    t.blockStride = zoomedBlock_.bytesPerLine();
    t.blockWidth = zoomedBlock_.width();
    t.blockHeight = zoomedBlock_.height();
    t.cols = zoomedCols_.data();
    t.rows = zoomedRows_.data();
    t.maxX = Width() - kBlockSize;
    t.maxY = Height() - kBlockSize;
    return t;
}

bool DrawArea::ZoomedTarget::PlaceInside(int x, int y) const
{
    const int left = cols[x], top = rows[y];
    if (left < 0 || top < 0 || left + blockWidth > width || top + blockHeight > height) return false;
    uchar* dst = bits + top * stride + left * qsizetype{sizeof(QRgb)};
    switch (blockWidth) { // the sprite at the menu's zooms: rows of a size known here are a few moves
    case 15: CopyFixedRows<15>(dst, stride, block, blockStride, blockHeight); break;
    case 20: CopyFixedRows<20>(dst, stride, block, blockStride, blockHeight); break;
    default:
        for (int row = 0; row < blockHeight; ++row)
            std::memcpy(dst + row * stride, block + row * blockStride,
                        static_cast<std::size_t>(blockWidth) * sizeof(QRgb));
    }
    return true;
}

void DrawArea::DrawZoomed(QPainter& painter) const
{
    const QPoint o = zoomOrigin_;
    const auto at = [&](QPoint p) {
        return QPoint(zoom::Edge(o.x(), p.x(), zoom_), zoom::Edge(o.y(), p.y(), zoom_));
    };
    painter.drawImage(0, 0, zoomed_);
    if (texts_.empty()) return;
    if (textsDropped_) { // the copy has no text: show the image itself on the grid
        painter.drawImage(0, 0, ZoomImage(image_, zoom_, o));
        return;
    }
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PrintedText& t : texts_) {
        if (t.overdrawn) {
            const QRect shown = t.bounds.intersected(image_.rect());
            if (!shown.isEmpty())
                painter.drawImage(at(shown.topLeft()),
                                  ZoomImage(image_.copy(shown), zoom_, o + shown.topLeft()));
            continue;
        }
        QFont font = t.font;
        if (font.pixelSize() > 0) font.setPixelSize(zoom::FontPixels(font.pixelSize(), zoom_));
        else font.setPointSizeF(font.pointSizeF() * zoom_ / 100.0);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(t.color));
        const QPoint pos = at(t.topLeft);
        painter.drawText(QPoint(pos.x(), pos.y() + painter.fontMetrics().ascent()), t.text);
    }
}

QImage ZoomImage(const QImage& image, int percent, QPoint origin)
{
    const QImage src = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                     : QImage::Format_RGB32);
    if (!zoom::IsZoom(percent) || percent == 100 || src.isNull()) return src;
    // Which source column and row each zoomed one shows.
    const auto map = [percent](int origin, int size) {
        std::vector<int> from(static_cast<std::size_t>(std::max(zoom::Edge(origin, size, percent), 0)));
        for (int v = 0; v < size; ++v)
            for (int d = zoom::Edge(origin, v, percent); d < zoom::Edge(origin, v + 1, percent); ++d)
                if (d >= 0 && static_cast<std::size_t>(d) < from.size()) from[static_cast<std::size_t>(d)] = v;
        return from;
    };
    const std::vector<int> cols = map(origin.x(), src.width()), rows = map(origin.y(), src.height());
    QImage out(static_cast<int>(cols.size()), static_cast<int>(rows.size()), src.format());
    if (out.isNull()) return out;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(rows[y]));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (std::size_t x = 0; x < cols.size(); ++x) line[x] = in[cols[x]];
    }
    return out;
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

void DrawAreaView::SetZoom(int percent, QPoint origin)
{
    area_.SetZoom(percent, origin);
    FollowPixelRatio(devicePixelRatioF());
    setFixedSize(area_.ZoomedSize());
    update();
}

void DrawAreaView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FollowPixelRatio(devicePixelRatioF()); // before anything is printed for the first showing
}

void DrawAreaView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FollowPixelRatio(painter.device()->devicePixelRatioF()); // the window may have changed screens
    area_.Draw(painter, painter.device()->devicePixelRatio());
    if (hasFocus()) {
        // White inside black, two design pixels each: seen on the white panel and its grid.
        const int t = zoom::Length(2, area_.Zoom());
        for (int i = 0; i < 2 * t; ++i) {
            painter.setPen(i < t ? QColor(0, 0, 0) : QColor(255, 255, 255));
            painter.drawRect(rect().adjusted(i, i, -i - 1, -i - 1));
        }
    }
}

void DrawAreaView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: emit stepped(Step::Previous); break;
    case Qt::Key_Right: emit stepped(Step::Next); break;
    case Qt::Key_Home: emit stepped(Step::First); break;
    case Qt::Key_End: emit stepped(Step::Last); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

} // namespace platform
