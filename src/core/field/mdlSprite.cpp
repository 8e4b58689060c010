#include "core/field/mdlSprite.h"

#include <cmath>

#include <algorithm>

#include <chrono>
#include <ctime>

#include "core/model/NumText.h"
#include "core/model/mdlData.h"

namespace mdlSprite {

float SystemTimeOfDay()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    if (!localtime_r(&secs, &local)) return 0;
    const double fraction =
        duration<double>(now - system_clock::from_time_t(secs)).count();
    return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

void InitMolField(MolField& field, const TimeOfDayClock& clock)
{
    static constexpr std::int32_t offX[6] = {0, 0, 0, 2, 0, -2};
    static constexpr std::int32_t offY[6] = {0, 0, -2, 0, 2, 0};
    static constexpr std::int32_t speed[5][2] = {{3, 3}, {2, 4}, {4, 2}, {1, 5}, {5, 1}};
    static constexpr std::int32_t base[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    for (int k = 0; k < 6; ++k) {
        field.vibOffX[k] = offX[k];
        field.vibOffY[k] = offY[k];
    }
    for (int i = 1; i <= kRows; ++i) {
        for (int j = 1; j <= kColumns; ++j) {
            MolCell& c = field.cells[i][j];
            c.homeX = c.x = 10 * (j - 1);
            c.homeY = c.y = kContainerHeight - 10 * i;
            c.state = MolSolid;
            c.count = 1;
            const int ij = i * j;
            const auto& b = base[ij % 4];
            // A clock that misbehaves (negative, NaN, huge) still gives a phase of 0..4.
            const std::int32_t turned =
                numtext::ToWholeSaturated(static_cast<double>(clock()) * ij);
            const std::int32_t d = (turned % 5 + 5) % 5;
            c.dx = speed[d][0] * b[0] + j % 3;
            c.dy = speed[d][1] * b[1] + j % 5;
            if (c.dx == 0 && c.dy == 0) c.dx = c.dy = 1;
            c.phase = d;
        }
    }
}

void SetMolStatesByCount(MolField& field, std::int32_t t, std::int32_t freezeTemp, std::int64_t vaporCount)
{
    std::int64_t left = vaporCount;
    for (int i = kRows; i >= 1; --i) {
        MolCell* row = field.cells[i];
        for (int j = 1; j <= kColumns; ++j) {
            if (t <= freezeTemp) row[j].state = MolSolid;
            else if (left > 0) {
                row[j].state = MolVapor;
                --left;
            } else {
                row[j].state = MolLiquid;
            }
        }
    }
}

std::optional<std::int64_t> VaporCount(double vaporMmHg, double celsius, double litres, double mol)
{
    const double kelvin = celsius + 273.0;
    if (!(mol > 0) || !(litres > 0) || !(kelvin > 0) || !std::isfinite(vaporMmHg) || !std::isfinite(litres)
        || !std::isfinite(mol))
        return std::nullopt;
    const double n = vaporMmHg / 760.0 * litres / (0.082 * kelvin);
    const double share = std::clamp(n / mol, 0.0, 1.0);
    return static_cast<std::int64_t>(std::llround(share * kRows * kColumns));
}

void SetMolStates(MolField& field, std::int32_t t, std::int32_t fullVaporTemp,
                  std::int32_t freezeTemp)
{
    // With no full evaporation the rows scale up to the table's end, and one row at least
    // stays liquid: the container never runs dry.
    const bool neverDry = fullVaporTemp == mdlData::kNoFullVapor;
    double span = (static_cast<double>(mdlData::AnimationTopTemp(fullVaporTemp)) - freezeTemp) / kRows;
    if (span == 0) span = 1;
    std::int64_t f = numtext::ToWholeSaturated(t / span);
    if (neverDry && f > kRows - 1) f = kRows - 1;
    for (int i = 1; i <= kRows; ++i) {
        std::int16_t state;
        if (t <= freezeTemp)
            state = MolSolid;
        else if (!neverDry && t >= fullVaporTemp)
            state = MolVapor;
        else
            state = i <= kRows - f ? MolLiquid : MolVapor;
        MolCell* row = field.cells[i];
        for (int j = 1; j <= kColumns; ++j) row[j].state = state;
    }
}

} // namespace mdlSprite
