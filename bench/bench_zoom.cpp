// One animation frame in the projector view: the frame at 100 % plus its zoomed copy.
#include <benchmark/benchmark.h>

#include <QImage>

#include "core/field/mdlSprite.h"
#include "desktop/platform/DrawArea.h"

namespace {

using namespace mdlSprite;

void BM_FrameAtZoom(benchmark::State& state)
{
    MolField field;
    InitMolField(field, [] { return 43210.5f; });
    platform::DrawArea area(kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
    area.SetZoom(static_cast<int>(state.range(0)), QPoint(37, 20));
    QImage sprite(kSpriteSize, kSpriteSize, platform::DrawArea::kFormat);
    sprite.fill(qRgb(0, 255, 255));
    for (auto _ : state) {
        SetMolStates(field, 50, 101, 0);
        area.FillBox(0, 0, kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
        for (int i = kRows; i >= 1; --i)
            for (int j = 1; j <= kColumns; ++j) {
                MoveMol(field, j, i);
                area.CopyBlock(sprite, field.cells[i][j].x, field.cells[i][j].y);
            }
        benchmark::DoNotOptimize(area.ZoomedImage().constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameAtZoom)->Arg(100)->Arg(150)->Arg(200);

} // namespace
