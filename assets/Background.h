#pragma once
// The main window's 800 × 560 background, drawn in code: slate ground, etched frames,
// sunken wells and a raised textured panel. Only the panel's texture is stored, as pixels
// compiled in and used where they lie; no full-window picture is decoded or kept.
#include <QImage>

class QPainter;

namespace assets {

constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 560;

// Paints the background with its top-left corner at the painter's origin.
void PaintBackground(QPainter& painter);

// The background as an image, for tests and pictures.
QImage BackgroundImage();

} // namespace assets
