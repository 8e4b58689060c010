#pragma once
#include <cstdint>

// The eight persisted settings, in the order of their keys in CONFIG.INI.
// Plain data: every layer reads it, the model included, so it carries no Qt.
struct SystemSettings {
    double container = 0;         // litres
    std::int32_t mol = 0;         // whole moles
    std::int32_t temperatureUnit = 0; // 0 = ℃, 1 = K
    std::int32_t pressureUnit = 0;    // 0 = mmHg, 1 = atm, 2 = hPa
    std::int32_t grphWMin = 0;    // temperature axis, in the temperature unit
    std::int32_t grphWMax = 0;
    double grphHMin = 0;          // pressure axis, in the pressure unit
    double grphHMax = 0;

    friend bool operator==(const SystemSettings&, const SystemSettings&) = default;
};
