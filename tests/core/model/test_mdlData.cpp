#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/model/mdlData.h"

using namespace mdlData;

namespace {

struct Model : ::testing::Test {
    VaporTable table;
    SystemSettings s;
    void SetUp() override
    {
        InitVaporTable(table);
        s.container = 30; s.mol = 1; s.temperatureUnit = 0; s.pressureUnit = 0;
        s.grphWMin = -50; s.grphWMax = 150; s.grphHMin = 0; s.grphHMax = 800;
    }
    const VaporRow& Row(int temp) const { return table.rows[static_cast<std::size_t>(temp + 101)]; }
};

double Curve(double boil, double b, int t)
{
    return 760.0 * std::exp(b * (1.0 / (boil + 273.15) - 1.0 / (t + 273.15)));
}

} // namespace

TEST_F(Model, TableHoldsTheReferenceRowsExactly)
{
    const struct { int t; double w, e, d; } ref[] = {
        {-100, 0.0002027342, 0.0004605279, 0.003385852}, {-50, 0.113535, 0.2579676, 1.896607},
        {-30, 0.6885585, 1.564612, 11.5032}, {0, 6.269279, 14.24691, 104.7448},
        {20, 21.26467, 48.32615, 355.2992}, {31, 38.87458, 88.34855, 649.5483},
        {34, 45.48469, 103.3717, 760}, {77, 321.3448, 730.366, 5369.732},
        {78, 334.3826, 760, 5587.604}, {100, 760, 1727.418, 12700.17},
        {101, 787.0911, 1788.996, 13152.9}, {150, 3575.285, 8126.816, 59749.25},
        {200, 12124.83, 27561.71, 202636.7},
    };
    for (const auto& r : ref) {
        EXPECT_EQ(Row(r.t).water, r.w) << r.t;
        EXPECT_EQ(Row(r.t).ethanol, r.e) << r.t;
        EXPECT_EQ(Row(r.t).diethylEther, r.d) << r.t;
    }
    EXPECT_EQ(table.rows[1].temp, -100);
    EXPECT_EQ(table.rows[301].temp, 200);
}

TEST_F(Model, EveryRowFollowsTheCurveAndTheOrderOfTheLiquids)
{
    const double boil[3] = {100, 78, 34};
    const double b[3] = {4890.0561, 4890.2457, 4890.2457};
    for (int i = 1; i <= 301; ++i) {
        const VaporRow& r = table.rows[static_cast<std::size_t>(i)];
        ASSERT_EQ(r.temp, i - 101);
        for (int liquid = 0; liquid < 3; ++liquid) {
            const double v = RowPressure(r, liquid);
            const double exact = Curve(boil[liquid], b[liquid], r.temp);
            // within 1.2 units of the seventh significant digit
            const double unit = std::pow(10.0, std::floor(std::log10(exact)) - 6);
            EXPECT_LE(std::fabs(v - exact), 1.2 * unit) << "row " << r.temp << " liquid " << liquid;
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.6e", v);
            if (std::isfinite(v))
                EXPECT_EQ(std::strtod(buf, nullptr), v) << "more than seven digits at " << r.temp;
            if (i > 1) {
                EXPECT_GT(v, RowPressure(table.rows[static_cast<std::size_t>(i - 1)], liquid));
            }
        }
        EXPECT_GT(r.diethylEther, r.ethanol);
        EXPECT_GT(r.ethanol, r.water);
    }
}

TEST_F(Model, BoilingPointsReadOneAtmosphereInEveryUnit)
{
    const struct { std::int32_t liquid; int t; } boils[] = {{Water, 100}, {Ethanol, 78}, {DiethylEther, 34}};
    const double want[3] = {760, 1, 1013};
    for (const auto& bp : boils)
        for (int unit = 0; unit < 3; ++unit)
            for (int tunit = 0; tunit < 2; ++tunit) {
                s.pressureUnit = unit;
                s.temperatureUnit = tunit;
                const int shown = tunit == 1 ? bp.t + 273 : bp.t;
                EXPECT_NEAR(GetVaporPress(table, bp.liquid, s, shown), want[unit], 1e-9)
                    << bp.liquid << " unit " << unit << " tunit " << tunit;
            }
}

TEST_F(Model, VapourPressureBeyondTheTableUsesTheEndRows)
{
    EXPECT_EQ(GetVaporPress(table, Water, s, -150), 0.0002027342);
    EXPECT_EQ(GetVaporPress(table, Water, s, -2147483647 - 1), 0.0002027342);
    // A hot container keeps its pressure: the 200 ℃ row, not 0.
    EXPECT_EQ(GetVaporPress(table, Water, s, 201), 12124.83);
    EXPECT_EQ(GetVaporPress(table, Water, s, 2147483647), 12124.83);
    s.temperatureUnit = 1;
    EXPECT_EQ(GetVaporPress(table, Water, s, -2147483647 - 1), 0.0002027342);
    // The -1 of a substance step without a liquid reads Diethyl ether.
    s.temperatureUnit = 0;
    EXPECT_EQ(GetVaporPress(table, -1, s, 34), 760);
    EXPECT_EQ(GetVaporPress(table, 7, s, 34), 760);
}

TEST_F(Model, ShownPressureAbove200IsTheGasPressure)
{
    const int t = 250;
    const double vp = GetVaporPress(table, Water, s, t);
    const double gp = GetGasPress(s, t);
    EXPECT_DOUBLE_EQ(gp, 1 * 0.082 / 30 * 523 * 760);
    EXPECT_LT(gp, vp);
}

TEST_F(Model, GasPressureFollowsTheLessonsConstants)
{
    EXPECT_DOUBLE_EQ(GetGasPress(s, 0), 567.112);
    EXPECT_NEAR(GetGasPress(s, 100), 774.8453, 5e-5);
    s.pressureUnit = 1;
    EXPECT_NEAR(GetGasPress(s, 0), 0.7462, 1e-12);
    s.pressureUnit = 2;
    EXPECT_NEAR(GetGasPress(s, 0), 755.9006, 1e-9);
    s.pressureUnit = 0;
    s.temperatureUnit = 1;
    EXPECT_DOUBLE_EQ(GetGasPress(s, 273), 567.112);
}

TEST_F(Model, FreezeAndFullVapourTemperatures)
{
    EXPECT_EQ(GetFreezeTemp(Water), 0);
    EXPECT_EQ(GetFreezeTemp(Ethanol), -114);
    EXPECT_EQ(GetFreezeTemp(DiethylEther), -114);
    EXPECT_EQ(GetFreezeTemp(-1), -114);

    const struct { std::int32_t mol; double container; int want[3]; } cases[] = {
        {1, 30, {101, 77, 31}}, {2, 30, {124, 97, 46}},
        // Water and ethanol never evaporate wholly in 1 L: none, not 0 ℃.
        {1, 1, {kNoFullVapor, kNoFullVapor, 120}},
        // All evaporated at the 0 ℃ row itself is a real 0.
        {1, 2800, {0, -13, -39}},
    };
    for (const auto& c : cases) {
        s.mol = c.mol;
        s.container = c.container;
        for (int liquid = 0; liquid < 3; ++liquid)
            EXPECT_EQ(GetFullVaporTemp(table, liquid, s), c.want[liquid])
                << c.mol << " mol in " << c.container << " L, liquid " << liquid;
    }
    // Units do not matter: the comparison is in mmHg and ℃.
    s.mol = 1; s.container = 30; s.pressureUnit = 1; s.temperatureUnit = 1;
    EXPECT_EQ(GetFullVaporTemp(table, Water, s), 101);
}

TEST_F(Model, ARowEqualToTheLimitDoesNotCount)
{
    // A container chosen so that the 50 ℃ limit equals the Water row exactly.
    const double row50 = Row(50).water;
    s.mol = 1;
    s.container = 1 * 0.082 * 323 * 760 / row50;
    ASSERT_EQ(s.mol * 0.082 / s.container * (50 + 273) * 760, row50);
    ASSERT_LT(Row(49).water, s.mol * 0.082 / s.container * (49 + 273) * 760);
    EXPECT_EQ(GetFullVaporTemp(table, Water, s), 51);
}

TEST_F(Model, DegenerateAmountsNeitherCrashNorMisbehave)
{
    const struct { std::int32_t mol; double container; } cases[] = {
        {1, 0}, {0, 0}, {-1, 0}, {1, -30}, {1, 1e-320}, {2147483647, 1e-300},
        {-2147483647 - 1, 1}, {1, std::nan("")}, {1, HUGE_VAL},
    };
    for (const auto& c : cases) {
        s.mol = c.mol;
        s.container = c.container;
        for (int liquid = -1; liquid < 3; ++liquid) {
            const int full = GetFullVaporTemp(table, liquid, s);
            EXPECT_TRUE(full == kNoFullVapor || (full >= -100 && full <= 200));
        }
        (void)GetGasPress(s, 2147483647);
        (void)GetGasPress(s, -2147483647 - 1);
    }
}

namespace {

struct DataBook : ::testing::Test {
    VaporTable table;
    void SetUp() override { InitDataBookTable(table); }
    double At(std::int32_t liquid, int temp) const
    {
        return RowPressure(table.rows[static_cast<std::size_t>(temp + 101)], liquid);
    }
    // Between whole-degree rows, as the curve runs: linear in ln p.
    double Between(std::int32_t liquid, double t) const
    {
        const int lo = static_cast<int>(std::floor(t));
        const double w = t - lo;
        if (w == 0) return At(liquid, lo);
        return std::exp((1 - w) * std::log(At(liquid, lo)) + w * std::log(At(liquid, lo + 1)));
    }
};

} // namespace

TEST_F(DataBook, ValuesAgreeWithTheDataBookWithinThreePercent)
{
    const struct { std::int32_t liquid; double t; double book; } book[] = {
        {Water, -10, 1.95},  {Water, 0, 4.58},     {Water, 20, 17.54},   {Water, 25, 23.76},
        {Water, 50, 92.5},   {Water, 80, 355.1},   {Water, 100, 760.0},  {Water, 120, 1489},
        {Water, 150, 3572},  {Water, 200, 11660},  {Ethanol, 0, 12.0},   {Ethanol, 20, 44.6},
        {Ethanol, 50, 221},  {Ethanol, 78.3, 760}, {DiethylEther, 0, 185}, {DiethylEther, 20, 442},
        {DiethylEther, 34.6, 760},
    };
    for (const auto& b : book)
        EXPECT_NEAR(Between(b.liquid, b.t), b.book, 0.03 * b.book) << "liquid " << b.liquid << " at " << b.t;
}

TEST_F(DataBook, ColumnsRiseStrictlyWithoutStepsUpToEtherCriticalPressure)
{
    for (int i = 1; i <= 301; ++i) {
        const VaporRow& r = table.rows[static_cast<std::size_t>(i)];
        ASSERT_EQ(r.temp, i - 101);
        for (int liquid = 0; liquid < 3; ++liquid) {
            const double v = RowPressure(r, liquid);
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.6e", v);
            if (std::isfinite(v))
                EXPECT_EQ(std::strtod(buf, nullptr), v) << "more than seven digits at " << r.temp;
            if (liquid == DiethylEther && r.temp >= 194) {
                // Past the critical point (193.55 ℃) there is no vapour pressure.
                EXPECT_EQ(v, HUGE_VAL) << r.temp;
                continue;
            }
            if (i == 1) {
                EXPECT_GT(v, 0);
                continue;
            }
            EXPECT_GT(v, At(liquid, r.temp - 1)) << "liquid " << liquid << " at " << r.temp;
            // Where two correlations meet the curve bends at most a little: a step of 1 %
            // would show as 0.01 in the second difference of ln p; the natural curvature
            // stays below 0.003. Water's triple point (ice to liquid) is a real bend.
            if (i > 2 && !(liquid == Water && r.temp == 1)) {
                const double bend = std::log(v) - 2 * std::log(At(liquid, r.temp - 1))
                                    + std::log(At(liquid, r.temp - 2));
                EXPECT_LT(std::fabs(bend), 0.004) << "liquid " << liquid << " at " << r.temp;
            }
        }
    }
    EXPECT_TRUE(std::isfinite(At(DiethylEther, 193)));
}

TEST_F(DataBook, EtherAboveItsCriticalPointFollowsTheGasLaw)
{
    SystemSettings s;
    s.container = 1; s.mol = 1; s.temperatureUnit = 0; s.pressureUnit = 0;
    // Below the critical point the saturated pressure holds; above it the gas pressure,
    // rising with the temperature instead of standing at the critical pressure.
    EXPECT_LT(GetVaporPress(table, DiethylEther, s, 190), GetGasPress(s, 190));
    EXPECT_EQ(GetVaporPress(table, DiethylEther, s, 194), HUGE_VAL);
    EXPECT_EQ(GetVaporPress(table, DiethylEther, s, 500), HUGE_VAL);
    // 1 mol in 1 L stays partly liquid up to the critical point, and is all gas beyond it.
    EXPECT_EQ(GetFullVaporTemp(table, DiethylEther, s), 194);
    s.mol = 2; s.container = 30;
    EXPECT_EQ(GetFullVaporTemp(table, DiethylEther, s), 52);
}

TEST_F(DataBook, LookupsReadWhicheverTableTheyAreGiven)
{
    SystemSettings s;
    s.container = 30; s.mol = 1; s.temperatureUnit = 0; s.pressureUnit = 0;
    EXPECT_NEAR(GetVaporPress(table, Water, s, 25), 23.775, 0.001);
    s.temperatureUnit = 1;
    EXPECT_NEAR(GetVaporPress(table, Water, s, 298), 23.775, 0.001);
    // Full evaporation for the same amounts as the lesson's table (101, 77, 31 and 124, 97, 46).
    s.temperatureUnit = 0;
    const struct { std::int32_t mol; double container; int want[3]; } cases[] = {
        {1, 30, {101, 78, 30}}, {2, 30, {124, 98, 52}},
        // Water and ethanol stay partly liquid to the table's end; ether is all gas once
        // past its critical point.
        {1, 1, {kNoFullVapor, kNoFullVapor, 194}},
    };
    for (const auto& c : cases) {
        s.mol = c.mol;
        s.container = c.container;
        for (int liquid = 0; liquid < 3; ++liquid)
            EXPECT_EQ(GetFullVaporTemp(table, liquid, s), c.want[liquid])
                << c.mol << " mol in " << c.container << " L, liquid " << liquid;
    }
}
