// One animation frame as the tick draws it, against the floor of the same pixel work: the
// same fill and the same 555 block copies to the same places, as fixed-size row copies
// with the clipping decided outside the inner loop. Goal: BM_Frame/100 ≤ 1.1 × BM_FrameFloor.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>

#include "FloorArea.h"
#include "core/app/FramePace.h"
#include "core/field/mdlSprite.h"
#include "core/render/FieldPicture.h"
#include "desktop/platform/DrawArea.h"

namespace {

using namespace mdlSprite;

QImage Sprite()
{
    QImage sprite(kSpriteSize, kSpriteSize, platform::DrawArea::kFormat);
    sprite.fill(qRgb(0, 255, 255));
    for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}}) sprite.setPixel(x, y, qRgb(0, 0, 0));
    return sprite;
}

// Water with the default settings: freezing 0 ℃, all vapour from 101 ℃.
constexpr std::int32_t kFullVapor = 101, kFreeze = 0;

// The field a few seconds into the animation at t ℃, where the tick would find it.
MolField Running(std::int32_t t)
{
    MolField field;
    InitMolField(field, [] { return 43210.5f; });
    framepace::DrawnPlaces drawn;
    for (int n = 0; n < 100; ++n) {
        SetMolStates(field, t, kFullVapor, kFreeze);
        framepace::MoveAll(field, drawn);
    }
    return field;
}

// A frame as the desktop draws it: states, moves, and, when a sprite moved, the program's
// field picture (the fill, the 555 copies in the tick's order) in the desktop's byte order,
// which the window then shows as it lies.
void BM_Frame(benchmark::State& state)
{
    const std::int32_t t = static_cast<std::int32_t>(state.range(0));
    MolField field = Running(t);
    framepace::DrawnPlaces drawn;
    render::FieldPicture picture;
    picture.SetLayout(100, 37, 20, render::FieldPicture::Order::Bgra);
    for (auto _ : state) {
        SetMolStates(field, t, kFullVapor, kFreeze);
        if (framepace::MoveAll(field, drawn)) picture.Draw(field);
        benchmark::DoNotOptimize(picture.Bytes());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Frame)->Arg(100)->Arg(50)->Arg(0);

// The frame's steps alone, states and moves without the drawing: what BM_Frame does on top
// of its floor.
void BM_FrameSteps(benchmark::State& state)
{
    const std::int32_t t = static_cast<std::int32_t>(state.range(0));
    MolField field = Running(t);
    framepace::DrawnPlaces drawn;
    for (auto _ : state) {
        SetMolStates(field, t, kFullVapor, kFreeze);
        benchmark::DoNotOptimize(framepace::MoveAll(field, drawn));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameSteps)->Arg(100);

// The floor: the same fill, and 555 copies of the block to the places of a frame at 100 ℃.
void BM_FrameFloor(benchmark::State& state)
{
    constexpr int kCount = kRows * kColumns;
    MolField field = Running(100);
    std::array<std::pair<int, int>, kCount> places;
    int n = 0;
    for (int i = kRows; i >= 1; --i)
        for (int j = 1; j <= kColumns; ++j) places[n++] = {field.cells[i][j].x, field.cells[i][j].y};
    QImage image(kContainerWidth, kContainerHeight, platform::DrawArea::kFormat);
    const QImage sprite = Sprite();
    for (auto _ : state) {
        floorbench::FloorFrame<kSpriteSize>(image, sprite, places);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameFloor);

} // namespace
