#include <gtest/gtest.h>

#include "core/app/Simulation.h"
#include "core/settings/SettingsLimits.h"

using namespace simulation;

namespace {

struct Sim : ::testing::Test {
    mdlData::VaporTable table;
    SystemSettings s;
    AppState st;
    mdlSinario::SinarioData sinario;
    void SetUp() override
    {
        mdlData::InitVaporTable(table);
        s.container = 30; s.mol = 1; s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    }
    mdlSinario::SinarioStep& Add(std::int16_t kind, std::int32_t value = 0, std::int32_t addTemp = 0)
    {
        auto& step = sinario.steps[static_cast<std::size_t>(++sinario.stepCount)];
        step = {};
        step.kind = kind; step.value = value; step.addTemp = addTemp;
        return step;
    }
};

} // namespace

TEST(SimulationText, TemperatureTextThatIsNoWholeNumberChangesNothing)
{
    EXPECT_EQ(ReadTemperature("20.5")->whole, 20);
    EXPECT_EQ(ReadTemperature("21.5")->whole, 22);
    EXPECT_DOUBLE_EQ(ReadTemperature(" 20.5")->real, 20.5);
    for (const char* bad : {"", "-", "abc", "2147483648", "1e20", "25x"})
        EXPECT_FALSE(ReadTemperature(bad)) << bad;
}

TEST_F(Sim, ReadoutIsTheSmallerPressureInTheUnitsFormat)
{
    const struct { std::int32_t liquid, unit, tunit, t; const char* text; } cases[] = {
        {0, 0, 0, 25, "28.1"},        // vapour pressure at 25 ℃
        {0, 1, 0, 25, "0.037"},
        {0, 2, 0, 25, "37"},
        {0, 0, 1, 300, "31.4"},       // 300 K is 27 ℃
        {0, 0, 0, 100, "760.0"},      // 760 < 774.8 gas
        {0, 0, 0, 120, "816.4"},      // above full evaporation: 0.082 / 30 × 393 × 760
        {0, 0, 0, 250, "1086.4"},     // beyond the table: the gas pressure, not 0
        {2, 0, 0, 34, "637.7"},       // ether has evaporated at 34 ℃: the gas pressure
    };
    for (const auto& c : cases) {
        s.pressureUnit = c.unit;
        s.temperatureUnit = c.tunit;
        EXPECT_EQ(ComputeReadout(table, c.liquid, s, c.t).text, c.text)
            << c.liquid << " " << c.unit << " " << c.tunit << " " << c.t;
    }
    s.pressureUnit = 0;
    s.temperatureUnit = 0;
    const std::string at27 = ComputeReadout(table, 0, s, 27).text;
    s.temperatureUnit = 1;
    EXPECT_EQ(ComputeReadout(table, 0, s, 300).text, at27);
}

TEST_F(Sim, DegenerateSettingsGiveSomeReadoutWithoutFailing)
{
    for (double container : {0.0, -1.0, 1e-320}) {
        s.container = container;
        for (std::int32_t mol : {0, 1, -5, 2147483647}) {
            s.mol = mol;
            const Readout r = ComputeReadout(table, 0, s, 25);
            EXPECT_FALSE(r.text.empty());
        }
    }
}

TEST(SimulationPace, FrameWaitFollowsTheTable)
{
    // Water with the default settings: freeze 0, full 101.
    EXPECT_EQ(FrameWaitFor(0, 101, 0), 8);    // every 9th tick
    EXPECT_EQ(FrameWaitFor(100, 101, 0), 1);  // every 2nd tick
    EXPECT_EQ(FrameWaitFor(-50, 77, -114), 8);
    EXPECT_EQ(FrameWaitFor(25, 0, 0), 8);     // zero span: ratio taken as 0
    EXPECT_EQ(FrameWaitFor(1e300, 101, 0), 1);
    const int table[16] = {1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7, 8, 8, 8};
    for (int w = 0; w <= 15; ++w) // span 1: the ratio is the temperature itself
        EXPECT_EQ(FrameWaitFor(15 - w, 15, 0), table[w]) << w;
}

TEST_F(Sim, RampStopsAtItsTargetAtTheRangesEndOrOncePastIt)
{
    const RampRange range = RampRangeFor(s, -100, 200);
    EXPECT_EQ(range.lo, -100);
    EXPECT_EQ(range.hi, 200);
    st.rampOn = 1; st.rampStep = 1; st.rampTarget = 23;
    EXPECT_EQ(NextRampTemperature(st, 20, range), 21);
    EXPECT_EQ(NextRampTemperature(st, 21, range), 22);
    EXPECT_EQ(st.rampOn, 1);
    EXPECT_EQ(NextRampTemperature(st, 22, range), 23);
    EXPECT_EQ(st.rampOn, 0);

    struct Case {
        std::int32_t step, target, shown;
        std::optional<std::int32_t> next;
        const char* why;
    } cases[] = {
        {1, 100, 150, std::nullopt, "typed past the target while climbing"},
        {-1, -50, -80, std::nullopt, "typed past the target while falling"},
        {1, 100, 100, std::nullopt, "already at the target"},
        {1, 2147483647, 200, std::nullopt, "a file's far target: the range's end"},
        {-1, -2147483647 - 1, -100, std::nullopt, "the range's lower end"},
        {1, 0, 2147483647, std::nullopt, "32 bits never overflow"},
        {1, 2147483647, 199, 200, "the range's last value is shown"},
    };
    for (const Case& c : cases) {
        st.rampOn = 1; st.rampStep = c.step; st.rampTarget = c.target;
        EXPECT_EQ(NextRampTemperature(st, c.shown, range), c.next) << c.why;
        EXPECT_EQ(st.rampOn, c.next ? 1 : 0) << c.why;
    }
    s.grphWMax = 423; // a Kelvin graph reaches further than the spinner
    EXPECT_EQ(RampRangeFor(s, -100, 200).hi, 423);
}

TEST_F(Sim, ThreeStepsRunOnceEachThenNothing)
{
    Add(mdlSinario::StepTemp, 30);
    Add(mdlSinario::StepGrphOff);
    Add(mdlSinario::StepBussitu, 1);
    st.sinarioRun = 1; st.sinarioPos = 1;
    EXPECT_EQ(RunSinarioStep(st, sinario, s, table, 20).kind, StepEffect::SetTemperature);
    EXPECT_EQ(RunSinarioStep(st, sinario, s, table, 30).kind, StepEffect::GraphOff);
    EXPECT_EQ(st.grphVisible, 0);
    const StepEffect e = RunSinarioStep(st, sinario, s, table, 30);
    EXPECT_EQ(e.kind, StepEffect::SelectLiquid);
    EXPECT_EQ(st.curLiquid, 1);
    EXPECT_EQ(st.fullVaporTemp, 77);
    EXPECT_EQ(st.freezeTemp, -114);
    EXPECT_EQ(RunSinarioStep(st, sinario, s, table, 30).kind, StepEffect::None);
    EXPECT_EQ(st.sinarioPos, 4);
}

TEST_F(Sim, OneDegreeStepStartsARampOnlyWhenItCan)
{
    Add(mdlSinario::StepTemp, 25, 1);
    Add(mdlSinario::StepTemp, 25, 1);
    Add(mdlSinario::StepTemp, 25, 1);
    Add(mdlSinario::StepGrphCls);
    st.sinarioPos = 1;
    RunSinarioStep(st, sinario, s, table, 20);
    EXPECT_EQ(st.rampOn, 1);
    EXPECT_EQ(st.rampStep, 1);
    EXPECT_EQ(st.rampTarget, 25);
    RunSinarioStep(st, sinario, s, table, 25); // already there
    EXPECT_EQ(st.rampOn, 0);
    RunSinarioStep(st, sinario, s, table, std::nullopt); // box holds no number
    EXPECT_EQ(st.rampOn, 0);
    st.rampOn = 1; // any later step stops a running ramp
    EXPECT_EQ(RunSinarioStep(st, sinario, s, table, 21).kind, StepEffect::GraphClear);
    EXPECT_EQ(st.rampOn, 0);
}

TEST_F(Sim, InitStepChangesTheSettingsInMemoryOnly)
{
    auto& step = Add(mdlSinario::StepInit);
    step.mol = 2; step.container = 0; step.temperatureUnit = 7; step.pressureUnit = 1;
    step.grphWMin = 5; step.grphWMax = 5; step.grphHMin = 0; step.grphHMax = 2;
    st.sinarioPos = 1;
    const StepEffect e = RunSinarioStep(st, sinario, s, table, 20);
    EXPECT_EQ(e.kind, StepEffect::SettingsChanged);
    EXPECT_EQ(s.mol, 2);
    EXPECT_EQ(s.pressureUnit, 1);
    EXPECT_EQ(s.grphHMax, 2.0);
    // What no dialog lets through gives way to the defaults, and is named for a notice.
    EXPECT_EQ(s.container, 30);
    EXPECT_EQ(s.grphWMin, -50);
    EXPECT_EQ(s.grphWMax, 150);
    EXPECT_EQ(e.value, int(mdlSystem::kFaultContainer | mdlSystem::kFaultTempRange));
    EXPECT_EQ(st.fullVaporTemp, 124); // water, 2 mol in 30 L: refreshed with the step

    auto& two = Add(mdlSinario::StepInit);
    two.mol = 1; two.container = 30; two.grphWMax = 100; two.grphHMax = 800;
    const StepEffect fine = RunSinarioStep(st, sinario, s, table, 20);
    EXPECT_EQ(fine.value, 0);
    EXPECT_EQ(st.fullVaporTemp, 101); // 1 mol in 30 L
}

TEST(SimulationLabels, UnitAndAmountLabelsFollowTheSettings)
{
    SystemSettings s;
    const struct { std::int32_t t, p, mol; double litres; const char* want[4]; } cases[] = {
        {0, 0, 1, 30, {"℃", "mmHg", "1mol", "30ﾘｯﾄﾙ"}},
        {1, 1, 2, 22.4, {"Ｋ", "atm", "2mol", "22.4ﾘｯﾄﾙ"}},
        {0, 2, -3, 0.5, {"℃", "hPa", "-3mol", "0.5ﾘｯﾄﾙ"}},
    };
    for (const auto& c : cases) {
        s.temperatureUnit = c.t; s.pressureUnit = c.p; s.mol = c.mol; s.container = c.litres;
        const UnitLabels l = UnitLabelsFor(s);
        EXPECT_EQ(l.temperature, c.want[0]);
        EXPECT_EQ(l.pressure, c.want[1]);
        EXPECT_EQ(l.mol, c.want[2]);
        EXPECT_EQ(l.container, c.want[3]);
    }
}

TEST(SimulationLoad, ALoadedScenarioPlaysFromItsFirstStepWhilePlaybackIsOn)
{
    AppState st;
    st.sinarioRun = 1; st.sinarioPos = 7; st.rampOn = 1;
    RestartPlaybackOnLoad(st);
    EXPECT_EQ(st.sinarioPos, 1);
    EXPECT_EQ(st.rampOn, 0);
    st.sinarioRun = 0; st.sinarioPos = 7; st.rampOn = 1; // off: switching on starts at 1 anyway
    RestartPlaybackOnLoad(st);
    EXPECT_EQ(st.sinarioPos, 7);
    EXPECT_EQ(st.rampOn, 1);
}

TEST_F(Sim, HostileStepDataStaysInsideTheRecord)
{
    sinario.stepCount = 1000; // from a damaged file
    for (auto& step : sinario.steps) { step = {}; step.kind = mdlSinario::StepGrphCls; }
    st.sinarioPos = 1;
    int ran = 0;
    while (RunSinarioStep(st, sinario, s, table, 0).kind != StepEffect::None) ++ran;
    EXPECT_EQ(ran, 50);

    sinario.stepCount = 1;
    sinario.steps[1] = {};
    sinario.steps[1].kind = mdlSinario::StepBussitu;
    sinario.steps[1].value = 99;
    st.sinarioPos = 1;
    const StepEffect e = RunSinarioStep(st, sinario, s, table, 0);
    EXPECT_EQ(e.kind, StepEffect::SelectLiquid);
    EXPECT_EQ(e.value, -1);
    EXPECT_EQ(st.curLiquid, -1);
    EXPECT_EQ(st.freezeTemp, -114);

    sinario.steps[1].kind = 99; // unknown kinds are passed over
    st.sinarioPos = 1;
    EXPECT_EQ(RunSinarioStep(st, sinario, s, table, 0).kind, StepEffect::None);
    EXPECT_EQ(st.sinarioPos, 2);
}

TEST(SimulationKeys, PlaybackKeys)
{
    for (int k : {40, 13, 32}) EXPECT_TRUE(IsPlaybackKey(k));
    for (int k : {38, 27, 9, 0}) EXPECT_FALSE(IsPlaybackKey(k));
}
