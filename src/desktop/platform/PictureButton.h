#pragma once
// A picture used as a button: shows the top-left 81 × 47 of the picture it was last given
// and reports clicks. Reached by Tab (a mouse click leaves the focus where it was, so the
// playback keys keep going to the temperature box), pressed by Space or Enter, and shown
// with a focus frame and a pressed look. A checkable one shows the state the face sets:
// a click only asks for the change.
#include <QAbstractButton>
#include <QImage>

namespace platform {

class PictureButton : public QAbstractButton {
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

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void nextCheckState() override {}

private:
    QImage picture_;
    QImage zoomed_; // null at 100 %
    int zoom_ = 100;
    QPoint zoomOrigin_;
    // The last release of a key the button acts on: under X11 a held key repeats as
    // release/press pairs that share a timestamp, and only the first press may act.
    int releasedKey_ = 0;
    quint64 releasedAt_ = 0;
};

} // namespace platform
