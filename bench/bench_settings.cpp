#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "desktop/settings/mdlSystem.h"

namespace {

// A CONFIG.INI as a save leaves it, with a comment and a second section around it.
void BM_LoadSystemSettings(benchmark::State& state)
{
    QTemporaryDir dir;
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    s.container = 22.4;
    s.pressureUnit = 2;
    const std::string text = mdlSystem::SaveSystemSettingsToText(
        s, "; room 3\r\n[Window]\r\nleft=10\r\ntop=20\r\n\r\n");
    {
        QFile f(dir.filePath("CONFIG.INI"));
        if (!f.open(QIODevice::WriteOnly)
            || f.write(text.data(), static_cast<qint64>(text.size()))
                   != static_cast<qint64>(text.size())) {
            state.SkipWithError("could not write CONFIG.INI");
            return;
        }
    }
    const mdlSystem::SettingsLocation where{dir.path(), QString()};
    SystemSettings loaded;
    for (auto _ : state) {
        mdlSystem::LoadSystemSettings(loaded, where);
        benchmark::DoNotOptimize(loaded);
    }
    if (!(loaded == s)) state.SkipWithError("loaded settings differ from the saved ones");
}
BENCHMARK(BM_LoadSystemSettings);

// The same load without the file system: the text work alone.
void BM_LoadSystemSettingsFromText(benchmark::State& state)
{
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    const std::string text = mdlSystem::SaveSystemSettingsToText(s, "");
    for (auto _ : state) {
        mdlSystem::LoadSystemSettingsFromText(s, text);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_LoadSystemSettingsFromText);

} // namespace
