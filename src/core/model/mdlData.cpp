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

// ---- Data-book table -------------------------------------------------------------
// Each liquid's column comes from published correlations of measured values, in Pa against
// kelvin (T = t + 273.15). Where two correlations meet, their logarithms are blended
// linearly across a short overlap inside both validity ranges, so the column has no step.

constexpr double kPaPerMmHg = 101325.0 / 760.0;

// Water, liquid: IAPWS-IF97 saturation-pressure equation (region 4), IAPWS R7-97(2012),
// valid 273.15 K to the critical point 647.096 K.
constexpr double kIf97[11] = {0,
                              0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2,
                              0.12020824702470e5,  -0.32325550322333e7, 0.14915108613530e2,
                              -0.48232657361591e4, 0.40511340542057e6,  -0.23855557567849,
                              0.65017534844798e3};

double WaterLiquidPa(double tk)
{
    const double* n = kIf97;
    const double th = tk + n[9] / (tk - n[10]);
    const double a = th * th + n[1] * th + n[2];
    const double b = n[3] * th * th + n[4] * th + n[5];
    const double c = n[6] * th * th + n[7] * th + n[8];
    const double x = 2 * c / (-b + std::sqrt(b * b - 4 * a * c));
    return x * x * x * x * 1e6;
}

// Ice: sublimation pressure of IAPWS R14-08(2011) (Wagner, Riethmann, Feistel, Harvey,
// J. Phys. Chem. Ref. Data 40, 043103, 2011), valid 50 K to the triple point 273.16 K,
// where it meets the liquid curve at 611.657 Pa. Below 0 ℃ a closed container of water
// holds ice, so this is what it holds there.
constexpr double kIceA[3] = {-0.212144006e2, 0.273203819e2, -0.610598130e1};
constexpr double kIceB[3] = {0.333333333e-2, 0.120666667e1, 0.170333333e1};
constexpr double kTripleK = 273.16;
constexpr double kTriplePa = 611.657;

double IcePa(double tk)
{
    const double th = tk / kTripleK;
    double sum = 0;
    for (int i = 0; i < 3; ++i) sum += kIceA[i] * std::pow(th, kIceB[i]);
    return kTriplePa * std::exp(sum / th);
}

// Antoine, ln(P/kPa) = A - B/(t/℃ + C), over the printed ranges: Smith, Van Ness, Abbott,
// Introduction to Chemical Engineering Thermodynamics, Table B.2.
struct Antoine {
    double a, b, c;
};
constexpr Antoine kEthanolAntoine = {16.8958, 3795.17, 230.918};      // 3 .. 96 ℃
constexpr Antoine kDiethylEtherAntoine = {14.0735, 2511.29, 231.200}; // -43 .. 55 ℃

double AntoinePa(const Antoine& k, double t)
{
    return std::exp(k.a - k.b / (t + k.c)) * 1000.0;
}

// Beyond the Antoine ranges, the wide-range DIPPR equation 101,
// ln(P/Pa) = C1 + C2/T + C3 ln T + C4 T^C5, valid from the triple point to the critical
// point. Ethanol's constants are the older DIPPR set, as printed in Perry's Chemical
// Engineers' Handbook, 7th ed. (1997), Table 2-6; diethyl ether's are those of the 8th ed.
// (2008), Table 2-8.
struct Dippr101 {
    double c1, c2, c3, c4, c5;
};
constexpr Dippr101 kEthanolDippr = {74.475, -7164.3, -7.327, 3.134e-6, 2};       // 159.05 .. 514 K (7th ed.)
constexpr Dippr101 kDiethylEtherDippr = {136.9, -6954.3, -19.254, 2.4508e-2, 1}; // 156.85 .. 466.7 K (8th ed.)

double DipprPa(const Dippr101& k, double tk)
{
    return std::exp(k.c1 + k.c2 / tk + k.c3 * std::log(tk) + k.c4 * std::pow(tk, k.c5));
}

// Diethyl ether's critical point, 466.7 K (193.55 ℃; the upper end of the DIPPR fit above):
// beyond it there is no liquid and no vapour pressure, so the column holds +infinity
// there. No saturation limit: the smaller-of-two readout then shows the gas law's
// pressure, and the full-evaporation scan finds every such row evaporated.
constexpr double kDiethylEtherCriticalK = 466.7;

// `below` up to lo, `above` from hi, their logarithms blended linearly in between.
double Joined(double t, double lo, double hi, double below, double above)
{
    if (t <= lo) return below;
    if (t >= hi) return above;
    const double w = (t - lo) / (hi - lo);
    return std::exp((1 - w) * std::log(below) + w * std::log(above));
}

// An Antoine fit in the middle, DIPPR 101 on both sides, each joined over 10 K inside the
// Antoine range.
double AntoineWithinDippr(const Antoine& antoine, double lo, double hi, const Dippr101& dippr,
                          double t)
{
    const double tk = t + 273.15;
    if (t < lo + 10) return Joined(t, lo, lo + 10, DipprPa(dippr, tk), AntoinePa(antoine, t));
    return Joined(t, hi - 10, hi, AntoinePa(antoine, t), DipprPa(dippr, tk));
}

double DataBookWaterPa(double t)
{
    const double tk = t + 273.15;
    return t < 0 ? IcePa(tk) : WaterLiquidPa(tk);
}

double DataBookEthanolPa(double t)
{
    return AntoineWithinDippr(kEthanolAntoine, 3, 96, kEthanolDippr, t);
}

double DataBookDiethylEtherPa(double t)
{
    if (t + 273.15 >= kDiethylEtherCriticalK) return std::numeric_limits<double>::infinity();
    return AntoineWithinDippr(kDiethylEtherAntoine, -43, 55, kDiethylEtherDippr, t);
}

double ToTableMmHg(double pa)
{
    return SevenDigits(pa / kPaPerMmHg);
}

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

void InitDataBookTable(VaporTable& table)
{
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        VaporRow& r = table.rows[static_cast<std::size_t>(i)];
        r.temp = i - 101;
        r.water = ToTableMmHg(DataBookWaterPa(r.temp));
        r.ethanol = ToTableMmHg(DataBookEthanolPa(r.temp));
        r.diethylEther = ToTableMmHg(DataBookDiethylEtherPa(r.temp));
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
    return kNoFullVapor;
}

} // namespace mdlData
