// A whole frame tick of the main window on the offscreen platform, the container's repaint
// and flush included, against a floor that only repaints an area of the same size at the
// same place with a picture of the same size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "FloorArea.h"
#include "assets/assets.h"
#include "desktop/main/frmMain.h"
#include "core/field/mdlSprite.h"
#include "desktop/platform/TickTimer.h"

namespace {

void Settle() { QCoreApplication::processEvents(); }

// The window animating at 100 ℃, all vapour, a frame on every call.
void BM_Tick(benchmark::State& state)
{
    QTemporaryDir dir;
    SharedRecords shared;
    shared.location = {dir.path(), QString()};
    frmMain w(shared, [] { return 43210.5f; });
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) state.SkipWithError("window not shown");
    w.Timer().Stop();
    w.txtOndo->setText(QStringLiteral("100"));
    Settle();
    for (auto _ : state) {
        shared.program.EditState().frameWait = 0;
        w.Timer1_Timer();
        Settle();
    }
}
BENCHMARK(BM_Tick);

// A window of the same size with one area of the container's size and place, repainted
// from a picture on every call.
static_assert(floorbench::kAreaWidth == mdlSprite::kContainerWidth
              && floorbench::kAreaHeight == mdlSprite::kContainerHeight);
using floorbench::Area;

void BM_TickFloor(benchmark::State& state)
{
    QWidget w;
    w.setFixedSize(800, 559);
    auto* area = new Area(&w);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) state.SkipWithError("window not shown");
    Settle();
    for (auto _ : state) {
        area->update();
        Settle();
    }
}
BENCHMARK(BM_TickFloor);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitVaporiaAssets();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
