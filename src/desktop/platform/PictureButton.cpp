#include "desktop/platform/PictureButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "desktop/platform/DrawArea.h"
#include "core/view/Zoom.h"

namespace platform {

PictureButton::PictureButton(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
}

void PictureButton::SetPicture(const QImage& picture)
{
    picture_ = picture.copy(0, 0, kWidth, kHeight);
    if (zoom_ != 100) zoomed_ = ZoomImage(picture_, zoom_, zoomOrigin_);
    update();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Scaled up pixel for pixel on a high-resolution display, never smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!zoomed_.isNull()) painter.drawImage(0, 0, zoomed_);
    else if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
}

void PictureButton::SetZoom(int percent, QPoint origin)
{
    zoom_ = zoom::IsZoom(percent) ? percent : 100;
    zoomOrigin_ = origin;
    zoomed_ = zoom_ == 100 || picture_.isNull() ? QImage() : ZoomImage(picture_, zoom_, origin);
    setFixedSize(zoom::Edge(origin.x(), kWidth, zoom_), zoom::Edge(origin.y(), kHeight, zoom_));
    update();
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
