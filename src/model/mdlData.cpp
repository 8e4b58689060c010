#include "mdlData.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace mdlData {

namespace {

// Clausius–Clapeyron through 760 mmHg at the normal boiling point:
// P(t) = 760 exp(B (1/Tb - 1/T)), T = t + 273.15 K, stored to seven significant digits.
struct Curve {
    double boilC; // ℃
    double b;     // K
};
constexpr Curve kCurves[3] = {{100, 4890.0561}, {78, 4890.2457}, {34, 4890.2457}};

double SevenDigits(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", v);
    return std::strtod(buf, nullptr);
}

double CurveValue(const Curve& c, int t)
{
    const double tb = c.boilC + 273.15;
    const double tk = t + 273.15;
    return SevenDigits(760.0 * std::exp(c.b * (1.0 / tb - 1.0 / tk)));
}

// Published rows of the table. Some differ from the rounded curve in the seventh digit
// (the table was tabulated, not computed by us), so these are authoritative.
struct ReferenceRow {
    int temp;
    double water, ethanol, diethylEther;
};
constexpr ReferenceRow kReference[] = {
    {-100, 0.0002027342, 0.0004605279, 0.003385852},
    {-90, 0.0009475653, 0.002152604, 0.01582618},
    {-80, 0.003775271, 0.00857682, 0.06305772},
    {-70, 0.01312756, 0.02982519, 0.2192781},
    {-60, 0.04061023, 0.09226853, 0.6783684},
    {-50, 0.113535, 0.2579676, 1.896607},
    {-40, 0.2906183, 0.6603502, 4.854968},
    {-30, 0.6885585, 1.564612, 11.5032},
    {-20, 1.52392, 3.462911, 25.45971},
    {-10, 3.175127, 7.215271, 53.04747},
    {0, 6.269279, 14.24691, 104.7448},
    {10, 11.7979, 26.81134, 197.1199},
    {20, 21.26467, 48.32615, 355.2992},
    {30, 36.86656, 83.78484, 615.9954},
    {31, 38.87458, 88.34855, 649.5483},
    {34, 45.48469, 103.3717, 760},
    {40, 61.70837, 140.2444, 1031.092},
    {50, 100.0483, 227.3837, 1671.75},
    {60, 157.5711, 358.1244, 2632.97},
    {70, 241.683, 549.3013, 4038.524},
    {77, 321.3448, 730.366, 5369.732},
    {78, 334.3826, 760, 5587.604},
    {80, 361.8219, 822.3679, 6046.14},
    {90, 529.7758, 1204.12, 8852.823},
    {100, 760, 1727.418, 12700.17},
    {101, 787.0911, 1788.996, 13152.9},
    {110, 1069.928, 2431.89, 17879.53},
    {120, 1480.263, 3364.603, 24736.93},
    {130, 2015.251, 4580.672, 33677.61},
    {140, 2702.919, 6143.815, 45170.01},
    {150, 3575.285, 8126.816, 59749.25},
    {160, 4668.519, 10611.91, 78019.91},
    {170, 6023.076, 13691.06, 100658.2},
    {180, 7683.772, 17466.15, 128413.1},
    {190, 9699.821, 22049.07, 162107.2},
    {200, 12124.83, 27561.71, 202636.7},
};

constexpr double kGasR = 0.082;        // L·atm/(K·mol)
constexpr double kMmHgPerAtm = 760.0;
constexpr double kHPaPerMmHg = 1013.0 / 760.0; // 1013, not 1013.25: the lesson's rounding

// nRT/V in mmHg, left to right as the lesson writes it. IEEE arithmetic: a zero or tiny
// container yields ±inf or NaN, never a trap; callers never turn it into an integer.
double GasMmHg(std::int32_t mol, double container, double celsius)
{
    return mol * kGasR / container * (celsius + 273.0) * kMmHgPerAtm;
}

// Celsius from the shown whole number; 64 bits so INT32_MIN - 273 cannot overflow.
std::int64_t ToCelsius(std::int32_t temperature, std::int32_t temperatureUnit)
{
    return temperatureUnit == 1 ? std::int64_t{temperature} - 273 : std::int64_t{temperature};
}

} // namespace

void InitVaporTable(VaporTable& table)
{
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        VaporRow& r = table.rows[static_cast<std::size_t>(i)];
        r.temp = i - 101;
        r.water = CurveValue(kCurves[Water], r.temp);
        r.ethanol = CurveValue(kCurves[Ethanol], r.temp);
        r.diethylEther = CurveValue(kCurves[DiethylEther], r.temp);
    }
    for (const ReferenceRow& ref : kReference) {
        VaporRow& r = table.rows[static_cast<std::size_t>(ref.temp + 101)];
        r.water = ref.water;
        r.ethanol = ref.ethanol;
        r.diethylEther = ref.diethylEther;
    }
}

double RowPressure(const VaporRow& row, std::int32_t liquid)
{
    switch (liquid) {
    case Water: return row.water;
    case Ethanol: return row.ethanol;
    default: return row.diethylEther;
    }
}

double ToPressureUnit(double mmHg, std::int32_t pressureUnit)
{
    if (pressureUnit == 0) return mmHg;
    if (pressureUnit == 1) return mmHg / kMmHgPerAtm;
    return kHPaPerMmHg * mmHg;
}

double GetVaporPress(const VaporTable& table, std::int32_t liquid, const SystemSettings& s,
                     std::int32_t temperature)
{
    const std::int64_t t = ToCelsius(temperature, s.temperatureUnit);
    // Beyond the table's ends the end rows hold: a hot closed container still has its
    // (saturated or gas) pressure, never 0.
    const std::int64_t clamped = t < -100 ? -100 : (t > 200 ? 200 : t);
    const VaporRow& row = table.rows[static_cast<std::size_t>(clamped + 101)];
    return ToPressureUnit(RowPressure(row, liquid), s.pressureUnit);
}

double GetGasPress(const SystemSettings& s, std::int32_t temperature)
{
    const double t = static_cast<double>(ToCelsius(temperature, s.temperatureUnit));
    return ToPressureUnit(GasMmHg(s.mol, s.container, t), s.pressureUnit);
}

std::int32_t GetFreezeTemp(std::int32_t liquid)
{
    return liquid == Water ? 0 : -114;
}

std::int32_t GetFullVaporTemp(const VaporTable& table, std::int32_t liquid, const SystemSettings& s)
{
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        const VaporRow& row = table.rows[static_cast<std::size_t>(i)];
        const double limit = GasMmHg(s.mol, s.container, row.temp);
        if (RowPressure(row, liquid) > limit) return row.temp; // NaN limit never qualifies
    }
    return 0;
}

} // namespace mdlData
