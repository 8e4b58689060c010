// The tick's schedule on a clock the test moves: what the window test cannot reach.
#include <gtest/gtest.h>

#include "core/app/FramePace.h"
#include "core/settings/ProfileText.h"

using framepace::Schedule;

namespace {

struct Clocked {
    std::int64_t now = 1000;
    Schedule pace{[this] { return now; }};
    AppState st;
    // The timer fires when asked; the frame sets the wait as the tick would.
    std::optional<int> Frame(std::int16_t wait, bool atRest = false)
    {
        pace.BeginFrame(st);
        EXPECT_EQ(st.frameWait, 0);
        st.frameWait = wait;
        return pace.AfterFrame(st, true, atRest);
    }
};

} // namespace

TEST(Schedule, WakesOnTheTickOfTheNextFrame)
{
    Clocked c;
    EXPECT_EQ(c.pace.Plan(c.st, true), std::nullopt); // not started
    c.pace.Start();
    EXPECT_EQ(c.pace.Plan(c.st, true), 16);            // the first tick draws
    c.now += 16;
    EXPECT_EQ(c.Frame(8), 9 * 16);                     // every 9th tick when cold
    c.now += 9 * 16 + 3;                               // woken 3 ms late
    EXPECT_EQ(c.Frame(1), 2 * 16 - 3);                 // the grid holds
    c.now += 2 * 16 + 40;                              // more than a tick late: the missed ticks
    const std::int64_t woke = (c.now - 1000) / 16;     // are dropped, the next frame is 2 ticks on
    EXPECT_EQ(c.Frame(1), 1000 + (woke + 2) * 16 - c.now);
}

TEST(Schedule, HoldsTheCountdownWhileTheTextCannotBeRead)
{
    Clocked c;
    c.pace.Start();
    EXPECT_EQ(c.pace.Plan(c.st, true), 16);
    c.now += 16;
    EXPECT_EQ(c.Frame(8), 9 * 16);
    c.now += 3 * 16 + 5;                               // three ticks counted, then the box is emptied
    EXPECT_EQ(c.pace.Plan(c.st, false), std::nullopt);
    EXPECT_EQ(c.st.frameWait, 5);
    c.now += 1000;                                     // nothing counts while it is empty
    EXPECT_EQ(c.pace.Plan(c.st, false), std::nullopt);
    const std::int64_t sinceTick = (c.now - 1000) % 16;
    EXPECT_EQ(c.pace.Plan(c.st, true), 6 * 16 - sinceTick);
}

TEST(Schedule, AtRestSleepsAndWakesOnTheTickItsFramesWouldHaveHad)
{
    Clocked c;
    c.pace.Start();
    EXPECT_EQ(c.pace.Plan(c.st, true), 16);
    c.now += 16;
    EXPECT_EQ(c.Frame(8, true), std::nullopt);         // frozen: no wake-up
    EXPECT_TRUE(c.pace.Resting());
    // 30 ticks later the temperature changes: frames were due on ticks 10, 19, 28, 37.
    c.now = 1000 + 31 * 16 + 2;
    EXPECT_EQ(c.pace.Plan(c.st, true), (37 - 31) * 16 - 2);
    EXPECT_EQ(c.st.frameWait, 37 - 31 - 1);
}

// The frame as both faces run it: a liquid chosen since the last frame takes over with its
// own freezing point, the countdown follows the temperature, and a frame that moves nothing
// asks for no drawing.
TEST(FrameStep, TakesTheSelectedLiquidSetsTheCountdownAndReportsWhetherToDraw)
{
    static mdlSprite::MolField field;
    framepace::DrawnPlaces drawn;
    SystemSettings s;
    mdlSystem::InitSystemSettings(s);
    AppState st;
    st.curLiquid = mdlData::Water;
    static mdlData::VaporTable table;
    mdlData::InitVaporTable(table);
    simulation::RefreshLiquidTemps(st, table, s);
    mdlSprite::InitMolField(field, [] { return 0.5f; });

    const simulation::Temperature cold{-150, -150};
    EXPECT_TRUE(framepace::FrameStep(field, drawn, st, table, s, mdlData::Ethanol, cold)); // first picture
    EXPECT_EQ(st.curLiquid, mdlData::Ethanol);
    EXPECT_EQ(st.freezeTemp, mdlData::GetFreezeTemp(mdlData::Ethanol));
    EXPECT_EQ(st.frameWait, simulation::FrameWaitFor(-150, st.fullVaporTemp, st.freezeTemp));
    EXPECT_FALSE(framepace::FrameStep(field, drawn, st, table, s, mdlData::Ethanol, cold)); // solid, at home

    const simulation::Temperature hot{90.5, 90};
    EXPECT_TRUE(framepace::FrameStep(field, drawn, st, table, s, mdlData::Ethanol, hot));
    EXPECT_EQ(st.frameWait, simulation::FrameWaitFor(90.5, st.fullVaporTemp, st.freezeTemp));
}

// With the data-book values the field shows the vapour they put in the container,
// n = P·V/(R·T) of the amount, molecule by molecule; the lesson's table keeps its rows.
TEST(FrameStep, TheDataBookValuesDrawTheirShareOfVapour)
{
    mdlData::VaporTable dataBook{}, lesson{};
    mdlData::InitDataBookTable(dataBook);
    mdlData::InitVaporTable(lesson);
    SystemSettings s{};
    mdlSystem::InitSystemSettings(s); // 1 mol in 30 L, ℃
    const auto vapour = [](const mdlSprite::MolField& f) {
        int n = 0;
        for (int i = 1; i <= mdlSprite::kRows; ++i)
            for (int j = 1; j <= mdlSprite::kColumns; ++j) n += f.cells[i][j].state == mdlSprite::MolVapor;
        return n;
    };
    const struct { const char* name; const mdlData::VaporTable* table; bool byShare; std::int32_t liquid, t; int low, high; } cases[] = {
        {"water 20 ℃, data book: about 3 %", &dataBook, true, mdlData::Water, 20, 15, 17},
        {"ether 25 ℃, data book: mostly vapour", &dataBook, true, mdlData::DiethylEther, 25, 417, 555},
        {"water 120 ℃, data book: all evaporated", &dataBook, true, mdlData::Water, 120, 555, 555},
        {"water 20 ℃, lesson's rows: 3 of 15", &lesson, false, mdlData::Water, 20, 3 * 37, 3 * 37},
        {"water 0 ℃, data book: frozen", &dataBook, true, mdlData::Water, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mdlSprite::MolField field{};
        mdlSprite::InitMolField(field, [] { return 100.0f; });
        framepace::DrawnPlaces drawn;
        AppState st;
        st.curLiquid = c.liquid;
        simulation::RefreshLiquidTemps(st, *c.table, s);
        framepace::FrameStep(field, drawn, st, *c.table, s, c.liquid, {double(c.t), c.t}, c.byShare);
        EXPECT_GE(vapour(field), c.low);
        EXPECT_LE(vapour(field), c.high);
    }
    // No amount or no volume to share: the rows stand.
    EXPECT_EQ(mdlSprite::VaporCount(17.5, 20, 30, 0), std::nullopt);
    EXPECT_EQ(mdlSprite::VaporCount(17.5, 20, -30, 1), std::nullopt);
    EXPECT_EQ(mdlSprite::VaporCount(17.5, 20, 30, 1), 16);
}
