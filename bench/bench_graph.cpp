// Redrawing the graph panel's grid and labels.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "graph/GraphPanel.h"

namespace {

// Labels need a running application for their fonts.
void EnsureApplication()
{
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vaporia_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // lives as long as the process
}

void BM_GraphRedraw(benchmark::State& state)
{
    EnsureApplication();
    platform::DrawArea area(315, 334, qRgb(255, 255, 255));
    graph::GraphPanel panel(area);
    SystemSettings s;
    s.container = 30; s.mol = 1;
    s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    s.pressureUnit = static_cast<std::int32_t>(state.range(0)); // 0 mmHg: 9 rows; 1 atm: 8,001
    for (auto _ : state) {
        panel.GrphRedraw(s);
        benchmark::DoNotOptimize(area.Image().constBits());
    }
}
BENCHMARK(BM_GraphRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
