#pragma once
// The floors' stand-in for the container: an opaque area of the container's size and place,
// repainted from a picture, and nothing else.
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstring>

namespace floorbench {

constexpr int kAreaX = 37, kAreaY = 20, kAreaWidth = 371, kAreaHeight = 457;

class Area : public QWidget {
public:
    explicit Area(QWidget* parent)
        : QWidget(parent), image_(kAreaWidth, kAreaHeight, QImage::Format_RGB32)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(kAreaX, kAreaY, kAreaWidth, kAreaHeight);
        image_.fill(Qt::black);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, image_);
    }

private:
    QImage image_;
};

// The least work a frame's picture takes: the area blanked, then a Side × Side sprite copied
// opaque to each place, clipped at the edges.
template <int Side, class Places>
void FloorFrame(QImage& image, const QImage& sprite, const Places& places)
{
    const uchar* src = sprite.constBits();
    const qsizetype srcStride = sprite.bytesPerLine();
    const int width = image.width(), height = image.height();
    image.fill(qRgb(0, 0, 0));
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (const auto& [x, y] : places) {
        if (x >= 0 && y >= 0 && x <= width - Side && y <= height - Side) {
            uchar* dst = bits + y * stride + x * 4;
            for (int row = 0; row < Side; ++row) std::memcpy(dst + row * stride, src + row * srcStride, Side * 4);
            continue;
        }
        const int x0 = std::max(x, 0), x1 = std::min(x + Side, width);
        const int y0 = std::max(y, 0), y1 = std::min(y + Side, height);
        for (int row = y0; row < y1; ++row)
            std::memcpy(bits + row * stride + x0 * 4, src + (row - y) * srcStride + (x0 - x) * 4,
                        static_cast<std::size_t>(std::max(x1 - x0, 0)) * 4);
    }
}

} // namespace floorbench
