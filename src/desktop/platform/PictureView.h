#pragma once
// Shows pixels that live elsewhere (the program's), as they stand at each paint: the view
// keeps no copy. On a high-resolution display they are scaled up pixel for pixel.
#include <QImage>
#include <QWidget>

namespace platform {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    // The picture over the pixels to show, which must stay where they are until the next
    // call; the view takes its size.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace platform
