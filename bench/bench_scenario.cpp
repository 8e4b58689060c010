#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <array>

#include "desktop/scenario/mdlSinario.h"

namespace {

mdlSinario::SinarioData Lesson()
{
    mdlSinario::SinarioData d;
    mdlSinario::SetTitle(d, QStringLiteral("蒸気圧曲線～水とエタノール①"));
    d.stepCount = 50;
    for (std::int32_t n = 1; n <= 50; ++n) {
        d.steps[static_cast<std::size_t>(n)].kind = mdlSinario::StepTemp;
        d.steps[static_cast<std::size_t>(n)].value = n * 2;
    }
    return d;
}

void BM_EncodeDecodeSinario(benchmark::State& state)
{
    const mdlSinario::SinarioData d = Lesson();
    std::array<unsigned char, mdlSinario::kRecordSize> bytes{};
    mdlSinario::SinarioData back;
    for (auto _ : state) {
        mdlSinario::EncodeSinario(d, bytes);
        benchmark::DoNotOptimize(mdlSinario::DecodeSinario(bytes.data(), bytes.size(), back));
    }
}
BENCHMARK(BM_EncodeDecodeSinario);

void BM_WriteReadSinarioFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lesson.so1"));
    const mdlSinario::SinarioData d = Lesson();
    mdlSinario::SinarioData back;
    for (auto _ : state) {
        if (!mdlSinario::WriteSinarioFile(d, path) || !mdlSinario::ReadSinarioFile(back, path)) {
            state.SkipWithError("scenario file failed");
            return;
        }
    }
}
BENCHMARK(BM_WriteReadSinarioFile);

} // namespace
