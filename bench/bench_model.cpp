#include <benchmark/benchmark.h>

#include "core/model/mdlData.h"

namespace {

SystemSettings Defaults()
{
    SystemSettings s;
    s.container = 30; s.mol = 1; s.grphWMin = -50; s.grphWMax = 150; s.grphHMax = 800;
    return s;
}

void BM_InitVaporTable(benchmark::State& state)
{
    mdlData::VaporTable t;
    for (auto _ : state) {
        mdlData::InitVaporTable(t);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_InitVaporTable);

// Start-up cost of the second table, computed from its correlations.
void BM_InitDataBookTable(benchmark::State& state)
{
    mdlData::VaporTable t;
    for (auto _ : state) {
        mdlData::InitDataBookTable(t);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_InitDataBookTable);

void BM_PressureReadout(benchmark::State& state)
{
    mdlData::VaporTable t;
    mdlData::InitVaporTable(t);
    const SystemSettings s = Defaults();
    std::int32_t temp = -100;
    for (auto _ : state) {
        const double vp = mdlData::GetVaporPress(t, mdlData::Water, s, temp);
        const double gp = mdlData::GetGasPress(s, temp);
        benchmark::DoNotOptimize(vp > gp ? gp : vp);
        temp = temp >= 200 ? -100 : temp + 1;
    }
}
BENCHMARK(BM_PressureReadout);

void BM_GetFullVaporTemp(benchmark::State& state)
{
    mdlData::VaporTable t;
    mdlData::InitVaporTable(t);
    const SystemSettings s = Defaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(mdlData::GetFullVaporTemp(t, mdlData::Water, s));
}
BENCHMARK(BM_GetFullVaporTemp);

} // namespace
