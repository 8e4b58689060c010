// One animation frame as the tick draws it, against the memory floor of the same work.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <cstring>
#include <vector>

#include "main/mdlSprite.h"
#include "platform/DrawArea.h"

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
void BM_Frame(benchmark::State& state)
{
    const std::int32_t t = static_cast<std::int32_t>(state.range(0));
    MolField field;
    InitMolField(field, [] { return 43210.5f; });
    platform::DrawArea area(kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
    const QImage sprite = platform::DrawArea::Prepared(Sprite());
    for (auto _ : state) {
        SetMolStates(field, t, 101, 0);
        area.FillBox(0, 0, kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
        for (int i = kRows; i >= 1; --i)
            for (int j = 1; j <= kColumns; ++j) {
                MoveMol(field, j, i);
                area.CopyBlock(sprite, field.cells[i][j].x, field.cells[i][j].y);
            }
        benchmark::DoNotOptimize(area.Image().constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Frame)->Arg(50)->Arg(0)->Arg(150);

// The same bytes moved with nothing else: fill the image, 555 blocks of 10 row copies.
void BM_FrameFloor(benchmark::State& state)
{
    QImage image(kContainerWidth, kContainerHeight, platform::DrawArea::kFormat);
    const QImage sprite = Sprite();
    std::vector<std::pair<int, int>> places;
    for (int i = kRows; i >= 1; --i)
        for (int j = 1; j <= kColumns; ++j)
            places.push_back({std::min(10 * (j - 1), kMaxX), (i * 31 + j * 17) % (kMaxY + 1)});
    for (auto _ : state) {
        image.fill(qRgb(0, 0, 0));
        uchar* bits = image.bits();
        const qsizetype stride = image.bytesPerLine();
        for (const auto& [x, y] : places) {
            uchar* dst = bits + y * stride + x * 4;
            for (int row = 0; row < kSpriteSize; ++row)
                std::memcpy(dst + row * stride, sprite.constScanLine(row), kSpriteSize * 4);
        }
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameFloor);

} // namespace
