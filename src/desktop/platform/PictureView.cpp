#include "desktop/platform/PictureView.h"

#include <QPainter>

namespace platform {

PictureView::PictureView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::SetPicture(const QImage& picture)
{
    picture_ = picture;
    setFixedSize(picture_.size());
    update();
}

void PictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // No smoothing: whole pixels at any pixel ratio; at 1, a plain copy.
    if (devicePixelRatioF() == 1.0) painter.drawImage(QPoint(0, 0), picture_);
    else painter.drawImage(rect(), picture_);
}

} // namespace platform
