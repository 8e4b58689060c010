#pragma once
// Vapour-pressure table of the three liquids and the lookups built on it.
// Temperatures are whole degrees, pressures mmHg inside; the lookups convert at their edge.
#include <array>
#include <cstdint>
#include <limits>

#include "core/settings/SystemSettings.h"

namespace mdlData {

enum Liquid : std::int32_t { Water = 0, Ethanol = 1, DiethylEther = 2 };

struct VaporRow {
    std::int32_t temp = 0;   // ℃
    double water = 0;        // mmHg
    double ethanol = 0;
    double diethylEther = 0;
};

constexpr int kFirstRow = 1;
constexpr int kLastRow = 301;      // row i holds temp i - 101: -100 ℃ .. 200 ℃

struct VaporTable {
    std::array<VaporRow, kLastRow + 1> rows{}; // rows[0] unused
};

void InitVaporTable(VaporTable& table);

// The same rows filled from published correlations of measured vapour pressures (water
// and ice, ethanol, diethyl ether), for holding the readout against a data book. Above
// diethyl ether's critical point (193.55 ℃) there is no vapour pressure: its rows hold
// +infinity, so the gas law gives the pressure there.
void InitDataBookTable(VaporTable& table);

// Column of a row for a liquid; any value but Water and Ethanol reads DiethylEther.
double RowPressure(const VaporRow& row, std::int32_t liquid);

// Convert a pressure in mmHg to the unit of pressureUnit (0 mmHg, 1 atm, other hPa).
double ToPressureUnit(double mmHg, std::int32_t pressureUnit);

// Temperature arguments are the whole number shown, in the unit of temperatureUnit.
double GetVaporPress(const VaporTable& table, std::int32_t liquid, const SystemSettings& s,
                     std::int32_t temperature);
double GetGasPress(const SystemSettings& s, std::int32_t temperature);
std::int32_t GetFreezeTemp(std::int32_t liquid);

// The lowest table temperature (℃) at which no liquid remains, or kNoFullVapor when no row
// of the table lets the whole amount evaporate: the container then holds liquid up to the
// table's end (1 mol in 1 L of water). A real row's 0 stays 0.
constexpr std::int32_t kNoFullVapor = std::numeric_limits<std::int32_t>::max();
std::int32_t GetFullVaporTemp(const VaporTable& table, std::int32_t liquid, const SystemSettings& s);

// The temperature (℃) up to which the animation scales its rows and its pace: the
// full-evaporation temperature, or one past the table's end when there is none.
constexpr std::int32_t kTableEndTemp = 200;
constexpr std::int32_t AnimationTopTemp(std::int32_t fullVaporTemp)
{
    return fullVaporTemp == kNoFullVapor ? kTableEndTemp + 1 : fullVaporTemp;
}

} // namespace mdlData
