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
    painter.drawImage(rect(), picture_); // no smoothing: whole pixels at any pixel ratio
}

} // namespace platform
