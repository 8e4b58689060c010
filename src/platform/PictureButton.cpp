#include "platform/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace platform {

PictureButton::PictureButton(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
}

void PictureButton::SetPicture(const QImage& picture)
{
    picture_ = picture.copy(0, 0, kWidth, kHeight);
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Scaled up pixel for pixel on a high-resolution display, never smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

} // namespace platform
