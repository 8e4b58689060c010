#pragma once
// A picture used as a button: shows the top-left 81 × 47 of the picture it was last given
// and reports clicks.
#include <QImage>
#include <QWidget>

namespace platform {

class PictureButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 81;
    static constexpr int kHeight = 47;

    explicit PictureButton(QWidget* parent = nullptr);

    // Takes the picture; the new look shows on the next paint.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

    // Projector view: shows the picture at a zoom, for a button placed at origin in the
    // 100 % window, and takes the zoomed size. 100 % is the plain picture.
    void SetZoom(int percent, QPoint origin);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QImage zoomed_; // null at 100 %
    int zoom_ = 100;
    QPoint zoomOrigin_;
    bool pressed_ = false;
};

} // namespace platform
