#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "core/field/mdlSprite.h"
#include "core/model/mdlData.h"

using namespace mdlSprite;

namespace {

TimeOfDayClock Fixed(float seconds)
{
    return [seconds] { return seconds; };
}

// The state of each row, or 0 when the molecules of a row disagree.
std::array<int, kRows + 1> RowStates(const MolField& f)
{
    std::array<int, kRows + 1> rows{};
    for (int i = 1; i <= kRows; ++i) {
        rows[i] = f.cells[i][1].state;
        for (int j = 2; j <= kColumns; ++j)
            if (f.cells[i][j].state != rows[i]) rows[i] = 0;
    }
    return rows;
}

} // namespace

TEST(MolField, LayoutPutsEveryMoleculeAtHomeWithAVelocity)
{
    const float clocks[] = {0.0f, 1.0f, 0.5f, 12345.678f, 86399.99f, -7.25f,
                            std::numeric_limits<float>::quiet_NaN(), 3e38f};
    for (float seconds : clocks) {
        MolField f;
        InitMolField(f, Fixed(seconds));
        for (int i = 1; i <= kRows; ++i) {
            for (int j = 1; j <= kColumns; ++j) {
                const MolCell& c = f.cells[i][j];
                ASSERT_EQ(c.x, 10 * (j - 1));
                ASSERT_EQ(c.homeX, c.x);
                ASSERT_EQ(c.y, 457 - 10 * i);
                ASSERT_EQ(c.homeY, c.y);
                ASSERT_EQ(c.state, MolSolid);
                ASSERT_EQ(c.count, 1);
                ASSERT_GE(c.phase, 0);
                ASSERT_LE(c.phase, 4);
                ASSERT_FALSE(c.dx == 0 && c.dy == 0) << i << "," << j << " at " << seconds;
                ASSERT_GE(c.dx, -5);
                ASSERT_LE(c.dx, 7);
                ASSERT_GE(c.dy, -5);
                ASSERT_LE(c.dy, 9);
            }
        }
        EXPECT_EQ(f.cells[1][1].y, 447);
        EXPECT_EQ(f.cells[15][1].y, 307);
        EXPECT_EQ(f.cells[1][37].x, 360);
        const std::int32_t offX[6] = {0, 0, 0, 2, 0, -2}, offY[6] = {0, 0, -2, 0, 2, 0};
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(f.vibOffX[k], offX[k]);
            EXPECT_EQ(f.vibOffY[k], offY[k]);
        }
    }
}

TEST(MolField, VelocityAndPhaseFollowPlaceAndClock)
{
    int reads = 0;
    MolField f;
    InitMolField(f, [&reads] { ++reads; return 1.0f; });
    EXPECT_EQ(reads, kRows * kColumns); // read anew for each molecule

    // Row 2, column 3: i·j = 6 gives base (−1, 1); d = 6 mod 5 = 1 gives speeds (2, 4).
    EXPECT_EQ(f.cells[2][3].dx, -2);
    EXPECT_EQ(f.cells[2][3].dy, 4 + 3);
    EXPECT_EQ(f.cells[2][3].phase, 1);

    // Halves go to the even neighbour: 0.5 × 3 = 1.5 → 2, 0.5 × 5 = 2.5 → 2.
    InitMolField(f, Fixed(0.5f));
    EXPECT_EQ(f.cells[1][1].phase, 0);
    EXPECT_EQ(f.cells[1][3].phase, 2);
    EXPECT_EQ(f.cells[1][5].phase, 2);

    // Row 3, column 29 with d = 1 would stand still: (2·−1 + 2, 4·−1 + 4) becomes (1, 1).
    InitMolField(f, Fixed(1.0f / 87));
    EXPECT_EQ(f.cells[3][29].phase, 1);
    EXPECT_EQ(f.cells[3][29].dx, 1);
    EXPECT_EQ(f.cells[3][29].dy, 1);
}

TEST(MolField, RowsTakeTheirStateFromTheTemperature)
{
    const struct { std::int32_t t, full, freeze; int liquidRows; int all; } cases[] = {
        // Water, default settings: span 101/15.
        {20, 101, 0, 12, 0},
        {100, 101, 0, 0, MolVapor},
        {101, 101, 0, 0, MolVapor},
        {0, 101, 0, 0, MolSolid},
        {-30, 101, 0, 0, MolSolid},
        {1, 101, 0, 15, 0},       // f = 0
        {-50, 78, -114, 15, 0},   // ethanol: f is negative, every row liquid
        // Equal temperatures: span taken as 1.
        {0, 0, 0, 0, MolSolid},
        {1, 0, 0, 0, MolVapor},
        // Full evaporation below freezing: solid up to freezing, vapour above.
        {5, -10, 10, 0, MolSolid},
        {11, -10, 10, 0, MolVapor},
        // Extremes stay defined.
        {2147483647, 2147483646, -2147483647 - 1, 0, MolVapor},
        {2147483645, 2147483646, -2147483647 - 1, 8, 0}, // f = 7.4999…: 8 liquid rows
        {-2147483647, 2147483647, -2147483647 - 1, 15, 0},
    };
    for (const auto& c : cases) {
        MolField f;
        InitMolField(f, Fixed(0));
        SetMolStates(f, c.t, c.full, c.freeze);
        const auto rows = RowStates(f);
        for (int i = 1; i <= kRows; ++i) {
            const int expected = c.all ? c.all : (i <= c.liquidRows ? MolLiquid : MolVapor);
            EXPECT_EQ(rows[i], expected) << "t " << c.t << " row " << i;
        }
    }
    AppState st;
    st.fullVaporTemp = 101;
    st.freezeTemp = 0;
    MolField f;
    SetMolStates(f, 20, st);
    EXPECT_EQ(RowStates(f)[12], MolLiquid);
    EXPECT_EQ(RowStates(f)[13], MolVapor);
}

TEST(MolField, AFillingThatNeverEvaporatesKeepsItsLiquid)
{
    // 1 mol of water in 1 L: no row of the table lets it all evaporate. The rows scale up
    // to the table's end, and one row at least stays liquid at any temperature.
    mdlData::VaporTable table;
    mdlData::InitVaporTable(table);
    SystemSettings s;
    s.mol = 1; s.container = 1;
    AppState st;
    st.fullVaporTemp = mdlData::GetFullVaporTemp(table, mdlData::Water, s);
    st.freezeTemp = mdlData::GetFreezeTemp(mdlData::Water);
    ASSERT_EQ(st.fullVaporTemp, mdlData::kNoFullVapor);
    const struct { std::int32_t t; int liquidRows; } cases[] = {
        {20, 14}, {101, 7}, {150, 4}, {200, 1}, {1000, 1}, {2147483647, 1},
    };
    for (const auto& c : cases) {
        MolField f;
        InitMolField(f, Fixed(0));
        SetMolStates(f, c.t, st);
        const auto rows = RowStates(f);
        for (int i = 1; i <= kRows; ++i)
            EXPECT_EQ(rows[i], i <= c.liquidRows ? MolLiquid : MolVapor) << c.t << " ℃, row " << i;
    }
    // A real 0 (all evaporated at 0 ℃) still means all vapour above it.
    MolField f;
    SetMolStates(f, 1, 0, -114);
    EXPECT_EQ(RowStates(f)[1], MolVapor);
}

TEST(MolField, LiquidMoleculeVibratesEveryFifthFrame)
{
    MolField f;
    InitMolField(f, Fixed(1.0f)); // row 1, column 2: d = 2
    const MolCell& c = f.cells[1][2];
    ASSERT_EQ(c.phase, 2);
    int phase = c.phase;
    int moves = 0;
    for (int frame = 1; frame <= 30; ++frame) {
        SetMolStates(f, 20, 101, 0);
        const MolCell before = c;
        MoveMol(f, 2, 1);
        const bool moved = c.count == 0;
        EXPECT_EQ(moved, frame % 5 == 4) << "frame " << frame;
        if (moved) {
            EXPECT_EQ(c.x, c.homeX + f.vibOffX[phase]);
            EXPECT_EQ(c.y, c.homeY + f.vibOffY[phase]);
            phase = (phase + 1) % 6;
            EXPECT_EQ(c.phase, phase);
            ++moves;
        } else {
            EXPECT_EQ(c.x, before.x);
            EXPECT_EQ(c.y, before.y);
        }
        EXPECT_EQ(c.dx, before.dx);
        EXPECT_EQ(c.dy, before.dy);
    }
    EXPECT_EQ(moves, 6);
}

TEST(MolField, VapourBouncesOffTheWalls)
{
    MolField f;
    InitMolField(f, Fixed(0));
    MolCell& c = f.cells[5][5];
    c.state = MolVapor;
    const struct { std::int32_t x, y, dx, dy, x1, y1, x2, y2; } cases[] = {
        {358, 100, 7, 0, 365, 100, 358, 100},  // right wall: one step beyond, then back
        {2, 100, -5, 0, -3, 100, 2, 100},      // left wall
        {100, 445, 0, 5, 100, 450, 100, 445},  // floor
        {100, 3, 0, -9, 100, -6, 100, 3},      // ceiling
        {361, 447, 4, 4, 365, 451, 361, 447},  // a corner, on the limits themselves
        {-2, 449, 3, -4, 1, 445, 4, 441},      // already beyond but moving inwards: no turn
        {363, -2, -1, 2, 362, 0, 361, 2},
    };
    for (const auto& k : cases) {
        c.x = k.x; c.y = k.y; c.dx = k.dx; c.dy = k.dy;
        MoveMol(f, 5, 5);
        EXPECT_EQ(c.x, k.x1) << k.x << "," << k.y;
        EXPECT_EQ(c.y, k.y1) << k.x << "," << k.y;
        MoveMol(f, 5, 5);
        EXPECT_EQ(c.x, k.x2) << k.x << "," << k.y;
        EXPECT_EQ(c.y, k.y2) << k.x << "," << k.y;
    }
}

TEST(MolField, EdgeMoleculeTurnedVapourWhileDisplacedOutwardsFliesIn)
{
    // Column 1 vibrating 2 px left of its home, row 1 2 px below it, then all vapour.
    MolField f;
    InitMolField(f, Fixed(0));
    f.cells[1][1].x = -2; f.cells[1][1].y = 449; f.cells[1][1].dx = 3; f.cells[1][1].dy = -4;
    f.cells[1][37].x = 362; f.cells[1][37].dx = -3;
    SetMolStates(f, 200, 101, 0);
    for (int frame = 0; frame < 5000; ++frame) {
        for (int i = kRows; i >= 1; --i)
            for (int j = 1; j <= kColumns; ++j) {
                MoveMol(f, j, i);
                const MolCell& c = f.cells[i][j];
                ASSERT_GE(c.x, -9) << i << "," << j;
                ASSERT_LE(c.x, kMaxX + 9) << i << "," << j;
                ASSERT_GE(c.y, -9) << i << "," << j;
                ASSERT_LE(c.y, kMaxY + 9) << i << "," << j;
            }
    }
    // Inside again after the first frame, and never stuck outside.
    MolField g;
    InitMolField(g, Fixed(0));
    g.cells[1][1] = {MolVapor, -2, 449, 3, -4, 1, 0, 447, 0};
    MoveMol(g, 1, 1);
    EXPECT_EQ(g.cells[1][1].x, 1);
    EXPECT_EQ(g.cells[1][1].y, 445);
}

TEST(MolField, SolidReturnsHomeAndOtherStatesStayStill)
{
    MolField f;
    InitMolField(f, Fixed(0));
    MolCell& c = f.cells[7][7];
    c.x = 200; c.y = 20;
    c.state = 0;
    MoveMol(f, 7, 7);
    EXPECT_EQ(c.x, 200);
    c.state = 42;
    MoveMol(f, 7, 7);
    EXPECT_EQ(c.y, 20);
    c.state = MolSolid;
    MoveMol(f, 7, 7);
    EXPECT_EQ(c.x, c.homeX);
    EXPECT_EQ(c.y, c.homeY);

    // Places outside the field are no molecules.
    const MolField copy = f;
    for (auto [j, i] : {std::pair{0, 1}, {38, 1}, {1, 0}, {1, 16}, {-1, -1}})
        MoveMol(f, j, i);
    EXPECT_TRUE(copy == f);
}

TEST(MolField, SystemClockGivesTheTimeOfDay)
{
    const float t = SystemTimeOfDay();
    EXPECT_GE(t, 0.0f);
    EXPECT_LT(t, 86401.0f);
}
