#pragma once
// A persistent pixel drawing area: what is drawn stays until painted over and reaches the
// screen only on Refresh, so a frame drawn in between is never seen half done.
// Pixel units, origin top-left, y downwards; every coordinate is safe, whatever its size.
//
// On a high-resolution display the image is shown scaled up pixel for pixel, but printed
// text would then look blocky. So an area that has printed text also keeps a copy of its
// image without the text, and a list of the texts printed since it was last blanked; Draw
// shows that copy with the texts as vector text on top. A text that something drawn later
// overlaps is shown from the image instead, so what lies on top stays on top.
//
// In the projector view (a zoom other than 100 %) the area also keeps a zoomed copy without
// text, drawn alongside the image: fills and lines on the window's pixel grid, each copied
// block from one pre-scaled source, so every molecule has the same shape wherever it lies.
// Draw then shows that copy with the texts printed from the font at the zoomed size.
// Only the copy is shown then, so a frame (the whole area blanked, then blocks copied by a
// BlockCopier) goes into the copy alone; the image catches up once anything else needs it.
// At a pixel ratio of 1 and 100 % none of that is needed: the view turns it off, and the copy
// is not kept.
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <cstring>
#include <vector>

class QPainter;

namespace platform {

class DrawArea {
public:
    // The pixel format of every area; block sources must have it too (see Prepared).
    static constexpr QImage::Format kFormat = QImage::Format_RGB32;
    static constexpr int kBlockSize = 10;

    DrawArea(int width, int height, QRgb background);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const
    {
        Settle();
        return image_;
    }

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

    // A text printed since the area was last blanked as a whole.
    struct PrintedText {
        QPoint baseline;  // where its baseline starts
        QRect bounds;     // every pixel it can have set
        QFont font;
        QRgb color;
        QString text;
        bool overdrawn;   // something drawn later overlaps it
        QPoint topLeft;   // the text position it was printed at
    };
    // Beyond this many texts since the last blanking, Draw shows the image as it is.
    static constexpr std::size_t kMaxTexts = 1024;
    const std::vector<PrintedText>& PrintedTexts() const { return texts_; }
    bool AllTextsKept() const { return !textsDropped_; }

    // Whether texts are kept apart from the image (the default). Turned off, the copy and
    // the list are freed; turned on again, texts show sharp from the next blanking of the
    // whole area (those printed before are known only as pixels).
    void KeepTextApart(bool on);
    bool KeepsTextApart() const { return keepText_; }

    // Opaque copy of the top-left 10 × 10 block of source with its top-left corner at
    // (x, y): destination pixels are replaced, what falls outside is clipped. Fast only
    // for a source in kFormat.
    void CopyBlock(const QImage& source, int x, int y);
    // The same from a block kept as plain pixels: the frame's 555 sprite copies.
    struct Block {
        QRgb pixels[kBlockSize * kBlockSize]{};
    };
    static Block PreparedBlock(const QImage& source); // its top-left 10 × 10, black beyond
    // Opaque copy of the box (left, top)–(right, bottom), both included, of a picture the
    // area's size: the core's pixels shown where they changed. A copy of the whole picture
    // blanks the area first, so the texts printed on it before go.
    void CopyFrom(const QImage& picture, int left, int top, int right, int bottom);
    void CopyBlock(const Block& block, int x, int y);

private:
    // The zoomed copy's pixels and the ready pre-scaled block, looked up once for the
    // copies of a frame.
    struct ZoomedTarget {
        uchar* bits = nullptr; // null: no zoomed copy
        qsizetype stride = 0;
        int width = 0, height = 0;
        const uchar* block = nullptr;
        qsizetype blockStride = 0;
        int blockWidth = 0, blockHeight = 0;
        const int* cols = nullptr; // the zoomed edges of the area's columns and rows
        const int* rows = nullptr;
        int maxX = -1, maxY = -1;  // places at which a block lies wholly inside at 100 %
        // Copies the block for the place (x, y), within maxX and maxY; false when its
        // zoomed form crosses the copy's edge, which it leaves to the clipping way.
        bool PlaceInside(int x, int y) const;
    };

public:
    // Many copies of one block in a row, as a frame makes them: the area's pixels are
    // looked up once, the block is scaled for the zoomed copy once, and a block that lies
    // wholly inside is copied inline. Use it at once and drop it: nothing else may draw
    // into the area, copy its image, or change the block, meanwhile.
    class BlockCopier {
    public:
        BlockCopier(DrawArea& area, const Block& block);
        void Copy(int x, int y)
        {
            if (bits_ && x >= 0 && y >= 0 && x <= maxX_ && y <= maxY_) {
                uchar* dst = bits_ + y * stride_ + x * qsizetype{sizeof(QRgb)};
                const QRgb* src = block_.pixels;
                for (int row = 0; row < kBlockSize; ++row, dst += stride_, src += kBlockSize)
                    std::memcpy(dst, src, kBlockSize * sizeof(QRgb));
                if (!zoomed_.bits || zoomed_.PlaceInside(x, y)) return;
                area_.CopyZoomed(reinterpret_cast<const uchar*>(block_.pixels),
                                 kBlockSize * qsizetype{sizeof(QRgb)}, kBlockSize, kBlockSize, x, y);
                return;
            }
            if (deferred_) area_.CopyDeferred(zoomed_, x, y);
            else area_.CopyBlock(block_, x, y); // clipped, or with texts to look after
        }

    private:
        DrawArea& area_;
        const Block& block_;
        uchar* bits_ = nullptr; // null: every copy takes the general way
        qsizetype stride_ = 0;
        int maxX_ = 0, maxY_ = 0;
        ZoomedTarget zoomed_;
        bool deferred_ = false; // the copies reach the image only when it is needed
    };

    // Projector view: percent is 100, 150 or 200 (anything else is 100); origin is the
    // area's top-left in the 100 % window, which fixes its place on the window's grid.
    // Rebuilds the zoomed copy from what the area shows now; at 100 % drops it.
    void SetZoom(int percent, QPoint origin);
    int Zoom() const { return zoom_; }
    // The zoomed copy without text; null at 100 %.
    const QImage& ZoomedImage() const { return zoomed_; }
    // Size of the area on screen at its zoom.
    QSize ZoomedSize() const;

    // Shows the image on the attached view, in one piece.
    void Refresh();
    void AttachView(QWidget* view) { view_ = view; }

    // Paints the area with its top-left corner at the painter's origin, for a device of
    // the given pixel ratio: the image itself at ratio 1, scaled without smoothing and with
    // sharp text above it. At a zoom, the zoomed copy with the texts at the zoomed size.
    void Draw(QPainter& painter, qreal devicePixelRatio) const;

private:
    void Overdraw(const QRect& rect);
    void FillZoomed(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb color);
    void CopyZoomed(const uchar* source, qsizetype srcStride, int w, int h, int x, int y);
    void ReadyZoomedBlock(const uchar* source, qsizetype srcStride, int w, int h);
    ZoomedTarget ReadyZoomedTarget(const Block& block);
    void PlaceZoomedBlock(std::int64_t left, std::int64_t top);
    void DrawZoomed(QPainter& painter) const;
    void CopyPixels(const uchar* source, qsizetype srcStride, int w, int h, int x, int y);
    void CopyDeferred(const ZoomedTarget& target, int x, int y);
    void Settle() const; // draws a deferred frame into the image

    mutable QImage image_; // behind the zoomed copy while a frame is deferred
    // A frame drawn at a zoom, not yet in the image: its blanking colour, block and places.
    struct Deferred {
        bool on = false;
        QRgb fill = 0;
        bool hasBlock = false;
        Block block;
        std::vector<QPoint> places;
    };
    mutable Deferred deferred_;
    QImage plain_; // the image without text; null until the first Print
    std::vector<PrintedText> texts_;
    bool textsDropped_ = false;
    bool keepText_ = true;
    QFont font_;
    QRgb textColor_ = qRgb(0, 0, 0);
    int textX_ = 0;
    int textY_ = 0;
    QPointer<QWidget> view_;
    int zoom_ = 100;
    QPoint zoomOrigin_;
    QImage zoomed_;
    QImage zoomedBlock_;       // the last block source, pre-scaled
    QImage zoomedBlockSource_; // what it was scaled from, to tell a new source by its pixels
    std::vector<int> zoomedCols_, zoomedRows_; // zoomed edge of each column and row, and of the end
};

// A nearest-neighbour copy of image at a zoom, for a picture whose top-left lies at design
// offset origin of the window: pixel v covers the zoomed pixels the window's grid gives it.
QImage ZoomImage(const QImage& image, int percent, QPoint origin);

// The on-screen face of a DrawArea: paints the area's image, and a focus frame over it
// while it has the focus, where ← → Home End step through what it shows.
class DrawAreaView : public QWidget {
    Q_OBJECT
public:
    explicit DrawAreaView(DrawArea& area, QWidget* parent = nullptr);
    DrawArea& Area() { return area_; }
    // Projector view: the area at a zoom, placed at origin in the 100 % window.
    void SetZoom(int percent, QPoint origin);

    enum class Step { Previous, Next, First, Last };
signals:
    void stepped(platform::DrawAreaView::Step step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sharp text needs the text kept apart only above a pixel ratio of 1.
    void FollowPixelRatio(qreal ratio) { area_.KeepTextApart(ratio > 1.0 || area_.Zoom() != 100); }

    DrawArea& area_;
};

} // namespace platform
