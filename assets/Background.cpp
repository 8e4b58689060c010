#include "assets/Background.h"

#include <QPainter>
#include <cstdint>

namespace assets {

namespace {

constexpr QRgb kSlate = qRgb(99, 101, 156);
constexpr QRgb kLight = qRgb(176, 178, 222);  // lit edge of a raised face
constexpr QRgb kLighter = qRgb(214, 215, 240);
constexpr QRgb kDark = qRgb(58, 59, 101);     // shaded edge
constexpr QRgb kDarker = qRgb(30, 31, 58);

// The textured field panel, x 445..767, y 415..530.
constexpr int kPanelX = 445, kPanelY = 415, kPanelW = 323, kPanelH = 116;
alignas(16) constexpr std::uint32_t kPanel[] = {
#include "background_panel.inc"
};
static_assert(std::size(kPanel) == std::size_t{kPanelW} * kPanelH);

// Pixels x0..x1, y0..y1, both corners included; nothing when reversed.
void Box(QPainter& p, int x0, int y0, int x1, int y1, QRgb colour)
{
    if (x1 < x0 || y1 < y0) return;
    p.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)), QColor::fromRgb(colour));
}

// A bevel ring just outside the box x0..x1, y0..y1 (raised: lit top-left).
void Bevel(QPainter& p, int x0, int y0, int x1, int y1, bool raised)
{
    const QRgb outerTl = raised ? kLight : kDark, innerTl = raised ? kLighter : kDarker;
    const QRgb outerBr = raised ? kDarker : kLighter, innerBr = raised ? kDark : kLight;
    for (int i = 0; i < 2; ++i) {
        const QRgb tl = i == 0 ? outerTl : innerTl, br = i == 0 ? outerBr : innerBr;
        const int d = 2 - i;
        // bottom and right first so the top-left corners win where the rings meet
        Box(p, x0 - d, y1 + d, x1 + d, y1 + d, br);
        Box(p, x1 + d, y0 - d, x1 + d, y1 + d, br);
        Box(p, x0 - d, y0 - d, x1 + d - 1, y0 - d, tl);
        Box(p, x0 - d, y0 - d, x0 - d, y1 + d - 1, tl);
    }
}

// An etched frame line around the box: a dark groove with a lit edge beside it.
void Groove(QPainter& p, int x0, int y0, int x1, int y1)
{
    Box(p, x0, y0, x1, y0, kDark);
    Box(p, x0, y0, x0, y1, kDark);
    Box(p, x0 + 1, y0 + 1, x1 - 1, y0 + 1, kLight);
    Box(p, x0 + 1, y0 + 1, x0 + 1, y1 - 1, kLight);
    Box(p, x0, y1 - 1, x1, y1 - 1, kDark);
    Box(p, x1 - 1, y0, x1 - 1, y1, kDark);
    Box(p, x0, y1, x1, y1, kLight);
    Box(p, x1, y0, x1, y1, kLight);
}

} // namespace

void PaintBackground(QPainter& p)
{
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false); // pixel art: no blur when scaled
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRect(0, 0, kBackgroundWidth, kBackgroundHeight), Qt::IntersectClip);
    Box(p, 0, 0, kBackgroundWidth - 1, kBackgroundHeight - 1, kSlate);

    // window frame
    Box(p, 0, 0, 799, 0, kLight);
    Box(p, 0, 0, 0, 558, kLight);
    Box(p, 0, 558, 799, 559, kDark);
    Box(p, 799, 0, 799, 559, kDark);

    // group frames: the container with its liquid bar, the graph with its buttons and fields
    Groove(p, 22, 6, 424, 545);
    Groove(p, 433, 3, 778, 545);

    // container: black well behind the container area
    Box(p, 35, 17, 409, 477, qRgb(0, 0, 0));
    Bevel(p, 35, 17, 409, 477, false);

    // liquid bar: a darker sunken strip for the selector and the white information labels
    Box(p, 33, 488, 412, 533, qRgb(62, 64, 112));
    Bevel(p, 33, 488, 412, 533, false);

    // graph: white well behind the graph panel
    Box(p, 445, 61, 763, 399, qRgb(255, 255, 255));
    Bevel(p, 445, 61, 763, 399, false);

    // temperature and pressure: a raised light panel, its texture used where it lies
    const QImage panel(reinterpret_cast<const uchar*>(kPanel), kPanelW, kPanelH,
                       kPanelW * qsizetype{sizeof(std::uint32_t)}, QImage::Format_RGB32);
    p.drawImage(kPanelX, kPanelY, panel);
    Bevel(p, kPanelX, kPanelY, kPanelX + kPanelW - 1, kPanelY + kPanelH - 1, true);
    p.restore();
}

QImage BackgroundImage()
{
    QImage image(kBackgroundWidth, kBackgroundHeight, QImage::Format_RGB32);
    QPainter p(&image);
    PaintBackground(p);
    return image;
}

} // namespace assets
