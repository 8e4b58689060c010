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

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool pressed_ = false;
};

} // namespace platform
