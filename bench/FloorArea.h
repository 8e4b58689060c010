#pragma once
// The floors' stand-in for the container: an opaque area of the container's size and place,
// repainted from a picture, and nothing else.
#include <QImage>
#include <QPainter>
#include <QWidget>

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

} // namespace floorbench
