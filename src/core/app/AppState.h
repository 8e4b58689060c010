#pragma once
#include <cstdint>

// Run-time state of the main screen. Never persisted; every run starts from these values.
struct AppState {
    std::int32_t curLiquid = 0;      // a Liquid, or -1 after a substance step recorded without one
    std::int32_t grphVisible = 1;
    std::int32_t sinarioRun = 0;
    std::int32_t sinarioPos = 0;     // 1-based number of the next step
    std::int32_t fullVaporTemp = 100; // ℃, copy of the last GetFullVaporTemp (kNoFullVapor: none)
    std::int32_t freezeTemp = 0;     // ℃, copy of the last GetFreezeTemp
    std::int16_t frameWait = 0;      // ticks to skip before the next frame
    std::int32_t rampOn = 0;
    std::int32_t rampStep = 0;       // +1 or -1 per frame
    std::int32_t rampTarget = 0;     // in the unit shown

    friend bool operator==(const AppState&, const AppState&) = default;
};
