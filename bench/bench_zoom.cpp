// One animation frame in the projector view, drawn as the tick draws it, against the floor
// of the pixels shown: the zoomed copy's fill and 555 copies of the pre-scaled sprite to
// the places of a frame, as fixed-size row copies with the clipping decided outside the
// inner loop. Goal: BM_FrameAtZoom/150 ≤ 2.25 × BM_FrameAtZoom/100, the ratio of the
// pixels shown.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>

#include "FloorArea.h"
#include "core/app/FramePace.h"
#include "core/field/mdlSprite.h"
#include "core/render/FieldPicture.h"
#include "core/view/Zoom.h"
#include "desktop/platform/DrawArea.h"

namespace {

using namespace mdlSprite;

const QPoint kOrigin(37, 20); // the container's place in the window
constexpr std::int32_t kTemp = 50, kFullVapor = 101, kFreeze = 0;

QImage Sprite()
{
    QImage sprite(kSpriteSize, kSpriteSize, platform::DrawArea::kFormat);
    sprite.fill(qRgb(0, 255, 255));
    return sprite;
}

void BM_FrameAtZoom(benchmark::State& state)
{
    MolField field;
    InitMolField(field, [] { return 43210.5f; });
    framepace::DrawnPlaces drawn;
    // The program's field picture at the zoom, in the desktop's byte order: what is shown.
    render::FieldPicture picture;
    picture.SetLayout(static_cast<int>(state.range(0)), kOrigin.x(), kOrigin.y(), render::FieldPicture::Order::Bgra);
    for (auto _ : state) {
        SetMolStates(field, kTemp, kFullVapor, kFreeze);
        framepace::MoveAll(field, drawn); // the vapour moves on every frame: always drawn
        picture.Draw(field);
        benchmark::DoNotOptimize(picture.Bytes());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameAtZoom)->Arg(100)->Arg(150)->Arg(200);

template <int Side>
void FloorAt(benchmark::State& state, int percent)
{
    constexpr int kCount = kRows * kColumns;
    MolField field;
    InitMolField(field, [] { return 43210.5f; });
    framepace::DrawnPlaces drawn;
    for (int n = 0; n < 100; ++n) {
        SetMolStates(field, kTemp, kFullVapor, kFreeze);
        framepace::MoveAll(field, drawn);
    }
    std::array<std::pair<int, int>, kCount> places;
    int n = 0;
    for (int i = kRows; i >= 1; --i)
        for (int j = 1; j <= kColumns; ++j)
            places[n++] = {zoom::Edge(kOrigin.x(), field.cells[i][j].x, percent),
                           zoom::Edge(kOrigin.y(), field.cells[i][j].y, percent)};
    const int width = zoom::Edge(kOrigin.x(), kContainerWidth, percent);
    const int height = zoom::Edge(kOrigin.y(), kContainerHeight, percent);
    QImage image(width, height, platform::DrawArea::kFormat);
    const QImage sprite = Sprite().scaled(Side, Side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    for (auto _ : state) {
        floorbench::FloorFrame<Side>(image, sprite, places);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}

// The floor of what a frame at a zoom shows.
void BM_FrameAtZoomFloor(benchmark::State& state)
{
    switch (state.range(0)) {
    case 100: FloorAt<10>(state, 100); break;
    case 150: FloorAt<15>(state, 150); break;
    default: FloorAt<20>(state, 200); break;
    }
}
BENCHMARK(BM_FrameAtZoomFloor)->Arg(100)->Arg(150)->Arg(200);

} // namespace
