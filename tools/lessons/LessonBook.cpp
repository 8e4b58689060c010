#include "lessons/LessonBook.h"

#include <QDir>
#include <QFile>

namespace lessonbook {
namespace {

using mdlSinario::SinarioStep;

constexpr std::int32_t kCelsius = 0;
constexpr std::int32_t kMmHg = 0;
constexpr std::int32_t kAtm = 1;
constexpr std::int32_t kWater = 0, kEthanol = 1, kEther = 2;

// The tabs of the editor; every field a tab does not fill stays 0, as there.
SinarioStep Init(std::int32_t mol, double container, std::int32_t temperatureUnit,
                 std::int32_t pressureUnit, std::int32_t wMin, std::int32_t wMax, std::int32_t hMin,
                 std::int32_t hMax)
{
    SinarioStep s;
    s.kind = mdlSinario::StepInit;
    s.mol = mol;
    s.container = container;
    s.temperatureUnit = temperatureUnit;
    s.pressureUnit = pressureUnit;
    s.grphWMin = wMin;
    s.grphWMax = wMax;
    s.grphHMin = hMin;
    s.grphHMax = hMax;
    return s;
}

SinarioStep Temp(std::int32_t value, bool oneDegree)
{
    SinarioStep s;
    s.kind = mdlSinario::StepTemp;
    s.value = value;
    s.addTemp = oneDegree ? 1 : 0;
    return s;
}
SinarioStep SetTemp(std::int32_t value) { return Temp(value, false); }
SinarioStep RampTo(std::int32_t value) { return Temp(value, true); }

SinarioStep Kind(std::int16_t kind)
{
    SinarioStep s;
    s.kind = kind;
    return s;
}

SinarioStep Substance(std::int32_t liquid)
{
    SinarioStep s;
    s.kind = mdlSinario::StepBussitu;
    s.value = liquid;
    return s;
}

// Showing the graph redraws its grid for the axes in force: a clean graph that keeps its
// labels (clearing alone would blank the grid too).
const SinarioStep kFreshGraph = Kind(mdlSinario::StepGrphOn);

// An initial-settings step leaves the temperature at which all liquid has evaporated as it
// was; choosing the liquid again refreshes it, so the molecules follow the new amount.
void Settings(std::vector<SinarioStep>& steps, const SinarioStep& init, std::int32_t liquid)
{
    steps.push_back(init);
    steps.push_back(Substance(liquid));
}

Lesson WaterCurve()
{
    Lesson l{QStringLiteral("lesson1-water-curve.so1"), QStringLiteral("水の蒸気圧曲線"), {}};
    Settings(l.steps, Init(1, 30, kCelsius, kMmHg, -50, 150, 0, 800), kWater);
    l.steps.push_back(kFreshGraph);
    for (std::int32_t t = 0; t <= 100; t += 10) l.steps.push_back(SetTemp(t));
    // 1 mol in 30 L has all evaporated at 101 ℃: from there the pressure leaves the curve.
    l.steps.push_back(RampTo(110));
    return l;
}

Lesson ThreeLiquids()
{
    Lesson l{QStringLiteral("lesson2-three-liquids.so1"), QStringLiteral("3つの液体をくらべる"), {}};
    // 2 mol, so that diethyl ether still has liquid when its curve reaches 760 mmHg.
    l.steps.push_back(Init(2, 30, kCelsius, kMmHg, 0, 120, 0, 1600));
    l.steps.push_back(kFreshGraph);
    // Each ramp stops first at the boiling point, where the readout shows 760 mmHg.
    const struct { std::int32_t liquid, boilingPoint; } runs[] = {
        {kWater, 100}, {kEthanol, 78}, {kEther, 34}};
    for (const auto& r : runs) {
        l.steps.push_back(Substance(r.liquid));
        l.steps.push_back(SetTemp(0));
        l.steps.push_back(RampTo(r.boilingPoint));
        if (r.boilingPoint != 100) l.steps.push_back(RampTo(100));
    }
    return l;
}

Lesson BoilingPoints()
{
    Lesson l{QStringLiteral("lesson3-boiling-points.so1"), QStringLiteral("沸点と大気圧"), {}};
    // In atm the 1 atm grid line is where each curve crosses at its boiling point.
    l.steps.push_back(Init(2, 30, kCelsius, kAtm, 0, 120, 0, 2));
    l.steps.push_back(kFreshGraph);
    const struct { std::int32_t liquid, boilingPoint; } runs[] = {
        {kWater, 100}, {kEthanol, 78}, {kEther, 34}};
    for (const auto& r : runs) {
        l.steps.push_back(Substance(r.liquid));
        l.steps.push_back(SetTemp(0));
        l.steps.push_back(RampTo(r.boilingPoint + 10));
    }
    return l;
}

Lesson Amount()
{
    Lesson l{QStringLiteral("lesson4-amount.so1"), QStringLiteral("量を変えると"), {}};
    const auto init = [](std::int32_t mol) { return Init(mol, 30, kCelsius, kMmHg, 50, 150, 0, 2000); };
    Settings(l.steps, init(1), kWater);
    l.steps.push_back(kFreshGraph);
    l.steps.push_back(SetTemp(60));
    l.steps.push_back(RampTo(130)); // leaves the curve at 101 ℃
    // Same graph, twice the water: the same curve, left only at 124 ℃.
    Settings(l.steps, init(2), kWater);
    l.steps.push_back(SetTemp(60));
    l.steps.push_back(RampTo(130));
    return l;
}

} // namespace

std::vector<Lesson> Lessons()
{
    return {WaterCurve(), ThreeLiquids(), BoilingPoints(), Amount()};
}

mdlSinario::SinarioData Compose(const Lesson& lesson)
{
    mdlSinario::SinarioData d;
    mdlSinario::SetTitle(d, lesson.title);
    for (const SinarioStep& s : lesson.steps) {
        if (d.stepCount >= mdlSinario::kMaxSteps) break;
        d.steps[static_cast<std::size_t>(++d.stepCount)] = s;
    }
    return d;
}

bool WriteLessons(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        if (error) *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    for (const Lesson& l : Lessons()) {
        const QString path = QDir(folder).filePath(l.fileName);
        // The scenario writer keeps the tail of a longer file; a lesson must be exactly its record.
        if (QFile::exists(path) && !QFile::remove(path)) {
            if (error) *error = QStringLiteral("%1: cannot replace it").arg(path);
            return false;
        }
        if (!mdlSinario::WriteSinarioFile(Compose(l), path, error)) return false;
    }
    return true;
}

} // namespace lessonbook
