// Redrawing the graph panel's grid and labels; plotting a point with its record; the
// table and the report picture of a full record.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "desktop/graph/GraphPanel.h"
#include "desktop/graph/GraphReport.h"

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

SystemSettings Defaults()
{
    SystemSettings s;
    s.container = 30; s.mol = 1;
    s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    return s;
}

// A plot in a running ramp, the record already full: the slot of the oldest point is reused.
void BM_PlotPointFullRecord(benchmark::State& state)
{
    EnsureApplication();
    platform::DrawArea area(315, 334, qRgb(255, 255, 255));
    graph::GraphPanel panel(area);
    const SystemSettings s = Defaults();
    AppState st;
    for (std::size_t i = 0; i < mdlGrph::PlotRecord::kMaxPoints; ++i) panel.GrphPlotPoint(s, st, 25, 23.8, "23.8");
    std::int32_t t = 0;
    for (auto _ : state) {
        panel.GrphPlotPoint(s, st, t, 100 + t, "123.4");
        t = (t + 1) % 150;
    }
}
BENCHMARK(BM_PlotPointFullRecord);

mdlGrph::PlotRecord RecordOf(std::size_t n)
{
    mdlGrph::PlotRecord r;
    for (std::size_t i = 0; i < n; ++i) {
        mdlGrph::PlottedPoint p;
        p.liquid = static_cast<std::int32_t>(i % 3);
        p.temperature = static_cast<std::int32_t>(i % 200) - 50;
        p.pressure = static_cast<double>(i % 800);
        p.pressureText = "123.4";
        p.mapped = true;
        p.px = 15 + static_cast<std::int32_t>(i % 300);
        p.py = static_cast<std::int32_t>(i % 320);
        r.Add(p);
    }
    return r;
}

void BM_PointsCsv(benchmark::State& state)
{
    const mdlGrph::PlotRecord r = RecordOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(mdlGrph::PointsCsv(r));
}
BENCHMARK(BM_PointsCsv)->Arg(500)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReportImage(benchmark::State& state)
{
    EnsureApplication();
    const mdlGrph::PlotRecord r = RecordOf(static_cast<std::size_t>(state.range(0)));
    const SystemSettings s = Defaults();
    for (auto _ : state) benchmark::DoNotOptimize(graph::ReportImage(r, s).constBits());
}
BENCHMARK(BM_ReportImage)->Arg(500)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
