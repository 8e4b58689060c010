#pragma once
// A persistent pixel drawing area: what is drawn stays until painted over and reaches the
// screen only on Refresh, so a frame drawn in between is never seen half done.
// Pixel units, origin top-left, y downwards; every coordinate is safe, whatever its size.
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform {

class DrawArea {
public:
    // The pixel format of every area; block sources must have it too (see Prepared).
    static constexpr QImage::Format kFormat = QImage::Format_RGB32;
    static constexpr int kBlockSize = 10;

    DrawArea(int width, int height, QRgb background);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }

    // A copy of an image in the areas' pixel format, ready for CopyBlock.
    static QImage Prepared(const QImage& source);

    // Filled box between two corners, both included.
    void FillBox(int x1, int y1, int x2, int y2, QRgb color);
    // One-pixel line, both ends included.
    void Line(int x1, int y1, int x2, int y2, QRgb color);

    // Text output: the text's top-left corner lies at the current position.
    void SetFont(const QFont& font) { font_ = font; }
    const QFont& Font() const { return font_; }
    void SetTextColor(QRgb color) { textColor_ = color; }
    void SetTextPos(int x, int y) { textX_ = x; textY_ = y; }
    int TextX() const { return textX_; }
    int TextY() const { return textY_; }
    void Print(const QString& text);

    // Opaque copy of the top-left 10 × 10 block of source with its top-left corner at
    // (x, y): destination pixels are replaced, what falls outside is clipped. Fast only
    // for a source in kFormat.
    void CopyBlock(const QImage& source, int x, int y);

    // Shows the image on the attached view, in one piece.
    void Refresh();
    void AttachView(QWidget* view) { view_ = view; }

private:
    QImage image_;
    QFont font_;
    QRgb textColor_ = qRgb(0, 0, 0);
    int textX_ = 0;
    int textY_ = 0;
    QPointer<QWidget> view_;
};

// The on-screen face of a DrawArea: paints the area's image, nothing else.
class DrawAreaView : public QWidget {
    Q_OBJECT
public:
    explicit DrawAreaView(DrawArea& area, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawArea& area_;
};

} // namespace platform
