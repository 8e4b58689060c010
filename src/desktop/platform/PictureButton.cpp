#include "desktop/platform/PictureButton.h"

#include <QKeyEvent>
#include <QPainter>

#include "desktop/platform/DrawArea.h"
#include "core/view/Zoom.h"

namespace platform {

namespace {

bool ActsOn(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select;
}

bool IsArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent)
{
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::TabFocus);
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
    const QImage& shown = zoomed_.isNull() ? picture_ : zoomed_;
    // Pressed: the picture sinks by a pixel, with a shadow along its top and left.
    const int sink = isDown() ? zoom::Length(1, zoom_) : 0;
    if (sink > 0) painter.fillRect(rect(), QColor(0, 0, 0));
    if (!shown.isNull()) painter.drawImage(sink, sink, shown);
    if (hasFocus()) {
        // White inside black: seen on the light and the dark parts of every picture.
        const int t = zoom::Length(2, zoom_);
        const QRect r = rect();
        for (int i = 0; i < 2 * t; ++i) {
            painter.setPen(i < t ? QColor(0, 0, 0) : QColor(255, 255, 255));
            painter.drawRect(r.adjusted(i, i, -i - 1, -i - 1));
        }
    }
}

void PictureButton::SetZoom(int percent, QPoint origin)
{
    zoom_ = zoom::IsZoom(percent) ? percent : 100;
    zoomOrigin_ = origin;
    zoomed_ = zoom_ == 100 || picture_.isNull() ? QImage() : ZoomImage(picture_, zoom_, origin);
    setFixedSize(zoom::Edge(origin.x(), kWidth, zoom_), zoom::Edge(origin.y(), kHeight, zoom_));
    update();
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    if (IsArrow(event->key())) {
        // Not a way between the buttons: an arrow is the window's (↓ runs the next step).
        event->ignore();
        return;
    }
    if (!ActsOn(event->key())) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    event->accept();
    const bool repeat = event->isAutoRepeat()
        || (event->key() == releasedKey_ && event->timestamp() == releasedAt_);
    if (!repeat) click();
    setDown(true); // until the key comes up
}

void PictureButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!ActsOn(event->key())) {
        QAbstractButton::keyReleaseEvent(event);
        return;
    }
    event->accept();
    releasedKey_ = event->key();
    releasedAt_ = event->timestamp();
    setDown(false);
}

} // namespace platform
