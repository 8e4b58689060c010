// The sample lessons played key press by key press through the playback core, with each
// ramp run to its end as the tick would, checked against the vapour-pressure model.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "lessons/LessonBook.h"
#include "core/app/Simulation.h"

namespace {

using lessonbook::Lesson;

constexpr std::int32_t kWater = 0, kEthanol = 1, kEther = 2;

// What the class sees after one temperature change.
struct Point {
    std::int32_t liquid = 0;
    std::int32_t temperature = 0;
    double pressure = 0;
    std::string readout;
    SystemSettings settings;
    std::int32_t grphVisible = 0;
    std::int32_t fullVaporTemp = 0;
    friend bool operator==(const Point&, const Point&) = default;
};
using Press = std::vector<Point>; // the points of one key press

struct Start {
    SystemSettings settings;
    std::int32_t liquid = 0;
    std::optional<std::int32_t> shown;
};

class LessonPlayback : public ::testing::Test {
protected:
    mdlData::VaporTable table;
    void SetUp() override { mdlData::InitVaporTable(table); }

    std::vector<Press> Play(const Lesson& lesson, const Start& start = {{30, 1, 0, 0, -50, 150, 0, 800}, 0, 0})
    {
        const mdlSinario::SinarioData d = lessonbook::Compose(lesson);
        SystemSettings s = start.settings;
        AppState st;
        st.curLiquid = start.liquid;
        simulation::RefreshLiquidTemps(st, table, s);
        st.sinarioRun = 1;
        st.sinarioPos = 1;
        std::optional<std::int32_t> shown = start.shown;
        std::vector<Press> presses;
        const auto show = [&](std::int32_t t, Press& press) {
            shown = t;
            const simulation::Readout r = simulation::ComputeReadout(table, st.curLiquid, s, t);
            press.push_back({st.curLiquid, t, r.pressure, r.text, s, st.grphVisible, st.fullVaporTemp});
        };
        while (st.sinarioPos <= d.stepCount) {
            Press press;
            const simulation::StepEffect e = simulation::RunSinarioStep(st, d, s, table, shown);
            if (e.kind == simulation::StepEffect::SetTemperature) show(e.value, press);
            while (st.rampOn != 0 && shown) {
                const auto next = simulation::NextRampTemperature(st, *shown, simulation::RampRangeFor(s, -100, 200));
                if (!next) break;
                show(*next, press);
            }
            presses.push_back(press);
        }
        return presses;
    }

    static std::vector<Point> Points(const std::vector<Press>& presses)
    {
        std::vector<Point> all;
        for (const Press& p : presses) all.insert(all.end(), p.begin(), p.end());
        return all;
    }
    double Vapour(const Point& p) const
    {
        return mdlData::GetVaporPress(table, p.liquid, p.settings, p.temperature);
    }
    // The first temperature at which the readout falls below the saturated vapour pressure:
    // all liquid has evaporated.
    std::optional<std::int32_t> AllEvaporatedAt(const std::vector<Point>& points) const
    {
        for (const Point& p : points)
            if (p.pressure < Vapour(p)) return p.temperature;
        return std::nullopt;
    }
    // The temperature whose readout ended a key press showing `text`, per liquid.
    static std::map<std::int32_t, std::int32_t> PressEndingAt(const std::vector<Press>& presses,
                                                              const std::string& text)
    {
        std::map<std::int32_t, std::int32_t> at;
        for (const Press& p : presses)
            if (!p.empty() && p.back().readout == text) at[p.back().liquid] = p.back().temperature;
        return at;
    }
};

Lesson Find(const QString& title)
{
    for (const Lesson& l : lessonbook::Lessons())
        if (l.title == title) return l;
    ADD_FAILURE() << "no lesson " << title.toStdString();
    return {};
}

} // namespace

// Whatever the school's settings, the liquid chosen or the temperature shown: each lesson
// sets what it needs, shows every point on its graph, and its molecules follow the amount
// in force (an initial-settings step alone would leave the old evaporation temperature).
TEST_F(LessonPlayback, EveryLessonStandsOnItsOwnAndStaysOnItsGraph)
{
    const Start odd{{5, 7, 1, 2, 200, 400, 0, 90}, kEther, 300};
    for (const Lesson& l : lessonbook::Lessons()) {
        SCOPED_TRACE(l.title.toStdString());
        const auto presses = Play(l);
        EXPECT_EQ(Play(l, odd), presses);
        EXPECT_EQ(presses.size(), l.steps.size());
        const auto points = Points(presses);
        ASSERT_FALSE(points.empty());
        for (const Point& p : points) {
            SCOPED_TRACE(p.temperature);
            EXPECT_EQ(p.grphVisible, 1);
            EXPECT_GE(p.temperature, p.settings.grphWMin);
            EXPECT_LE(p.temperature, p.settings.grphWMax);
            EXPECT_GE(p.pressure, p.settings.grphHMin);
            EXPECT_LE(p.pressure, p.settings.grphHMax);
            EXPECT_EQ(p.fullVaporTemp, mdlData::GetFullVaporTemp(table, p.liquid, p.settings));
        }
    }
}

TEST_F(LessonPlayback, WaterCurveAddsOnePointPerPressThenLeavesTheCurveAt101)
{
    const auto presses = Play(Find("水の蒸気圧曲線"));
    const SystemSettings defaults{30, 1, 0, 0, -50, 150, 0, 800};
    std::vector<std::int32_t> single;
    for (const Press& p : presses)
        if (p.size() == 1) single.push_back(p[0].temperature);
    EXPECT_EQ(single, (std::vector<std::int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));

    const auto points = Points(presses);
    for (const Point& p : points) {
        EXPECT_EQ(p.settings, defaults);
        EXPECT_EQ(p.liquid, kWater);
        if (p.temperature <= 100) {
            EXPECT_EQ(p.pressure, Vapour(p)) << p.temperature;
        }
    }
    EXPECT_EQ(AllEvaporatedAt(points), 101);
    EXPECT_EQ(presses.back().front().temperature, 101);
    EXPECT_EQ(presses.back().back().temperature, 110);
    EXPECT_EQ(PressEndingAt(presses, "760.0"), (std::map<std::int32_t, std::int32_t>{{kWater, 100}}));
}

TEST_F(LessonPlayback, ThreeLiquidsStopAtTheirBoilingPointsOverTheSameTemperatures)
{
    const auto presses = Play(Find("3つの液体をくらべる"));
    EXPECT_EQ(PressEndingAt(presses, "760.0"),
              (std::map<std::int32_t, std::int32_t>{{kWater, 100}, {kEthanol, 78}, {kEther, 34}}));
    std::map<std::int32_t, std::set<std::int32_t>> visited;
    std::map<std::int32_t, std::vector<Point>> byLiquid;
    for (const Point& p : Points(presses)) {
        EXPECT_EQ(p.settings.mol, 2);
        EXPECT_EQ(p.settings.container, 30);
        visited[p.liquid].insert(p.temperature);
        byLiquid[p.liquid].push_back(p);
    }
    ASSERT_EQ(visited.size(), 3u);
    EXPECT_EQ(visited[kEthanol], visited[kWater]);
    EXPECT_EQ(visited[kEther], visited[kWater]);
    // At each boiling point the liquid is still there: the readout is its curve's 760 mmHg.
    for (const auto& [liquid, bp] : std::map<std::int32_t, std::int32_t>{{kWater, 100}, {kEthanol, 78}, {kEther, 34}}) {
        const auto gone = AllEvaporatedAt(byLiquid[liquid]);
        EXPECT_TRUE(!gone || *gone > bp) << liquid;
    }
}

TEST_F(LessonPlayback, BoilingPointsCrossOneAtm)
{
    const auto presses = Play(Find("沸点と大気圧"));
    std::map<std::int32_t, std::int32_t> crossing; // first temperature at or above 1 atm
    for (const Point& p : Points(presses)) {
        EXPECT_EQ(p.settings.pressureUnit, 1);
        EXPECT_EQ(p.settings.grphHMax, 2);
        EXPECT_EQ(p.pressure, Vapour(p)) << p.liquid << " " << p.temperature; // never all evaporated
        if (p.pressure >= 1.0 && !crossing.count(p.liquid)) {
            crossing[p.liquid] = p.temperature;
            EXPECT_EQ(p.readout, "1.000");
        }
    }
    EXPECT_EQ(crossing, (std::map<std::int32_t, std::int32_t>{{kWater, 100}, {kEthanol, 78}, {kEther, 34}}));
}

TEST_F(LessonPlayback, AmountMovesOnlyTheTemperatureOfFullEvaporation)
{
    const auto points = Points(Play(Find("量を変えると")));
    std::map<std::int32_t, std::vector<Point>> byMol;
    for (const Point& p : points) {
        EXPECT_EQ(p.liquid, kWater);
        byMol[p.settings.mol].push_back(p);
    }
    ASSERT_EQ(byMol.size(), 2u);
    EXPECT_EQ(AllEvaporatedAt(byMol[1]), 101);
    EXPECT_EQ(AllEvaporatedAt(byMol[2]), 124);
    EXPECT_EQ(byMol[1].back().fullVaporTemp, 101);
    EXPECT_EQ(byMol[2].back().fullVaporTemp, 124);
    // Both runs visit the same temperatures; below 101 ℃ their readouts agree.
    ASSERT_EQ(byMol[1].size(), byMol[2].size());
    for (std::size_t i = 0; i < byMol[1].size(); ++i) {
        const Point& one = byMol[1][i];
        const Point& two = byMol[2][i];
        EXPECT_EQ(one.temperature, two.temperature);
        if (one.temperature < 101) {
            EXPECT_EQ(one.readout, two.readout) << one.temperature;
        } else {
            EXPECT_LT(one.pressure, two.pressure) << one.temperature;
        }
    }
}
