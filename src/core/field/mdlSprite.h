#pragma once
// The molecule field: 555 molecules, 15 rows of 37, that the tick moves and draws as
// 10 × 10 sprites in the 371 × 457 container. Nothing here draws or allocates.
#include <cstdint>
#include <optional>
#include <functional>

#include "core/app/AppState.h"

namespace mdlSprite {

enum MolState : std::int16_t {
    MolVapor = 1,  // flies and bounces off the walls
    MolLiquid = 2, // vibrates around its home
    MolSolid = 3,  // sits at its home
};

struct MolCell {
    std::int16_t state = 0; // a MolState; anything else keeps the molecule still
    std::int32_t x = 0;     // top-left of the sprite in the container, y downwards
    std::int32_t y = 0;
    std::int32_t dx = 0;    // velocity in pixels per frame, while vapour
    std::int32_t dy = 0;
    std::int32_t count = 0; // frames since the last vibration step, while liquid
    std::int32_t homeX = 0; // place in the block
    std::int32_t homeY = 0;
    std::int32_t phase = 0; // next entry of the vibration tables, 0..5

    friend bool operator==(const MolCell&, const MolCell&) = default;
};

constexpr int kRows = 15;    // row 1 is the bottom row of the block
constexpr int kColumns = 37;
constexpr int kContainerWidth = 371;
constexpr int kContainerHeight = 457;
constexpr int kSpriteSize = 10;
// Positions at which a vapour sprite still lies wholly inside the container.
constexpr std::int32_t kMaxX = kContainerWidth - kSpriteSize;  // 361
constexpr std::int32_t kMaxY = kContainerHeight - kSpriteSize; // 447

// The field: cells[i][j] for row i = 1..15 and column j = 1..37; index 0 is never used.
struct MolField {
    MolCell cells[kRows + 1][kColumns + 1]{};
    std::int32_t vibOffX[6]{};
    std::int32_t vibOffY[6]{};

    friend bool operator==(const MolField&, const MolField&) = default;
};

// Seconds since midnight, with a fraction.
using TimeOfDayClock = std::function<float()>;

// The local time of day from the system clock.
float SystemTimeOfDay();

// Every molecule solid at its home, with a start velocity and vibration phase that vary
// with its place and with the clock, read anew for each molecule.
void InitMolField(MolField& field, const TimeOfDayClock& clock);

// The molecules as the data-book values put them: vaporCount of them (counted from the top
// row down, each row from its first column) vapour and the rest liquid, all solid at or
// below freezeTemp.
void SetMolStatesByCount(MolField& field, std::int32_t t, std::int32_t freezeTemp, std::int64_t vaporCount);
// How many of the molecules are vapour when the vapour in the container is
// n = P·V/(R·T) of the whole amount: P the saturated vapour pressure in mmHg at celsius,
// never more than all of them; nothing when the amount or the volume allow no share.
std::optional<std::int64_t> VaporCount(double vaporMmHg, double celsius, double litres, double mol);

// The state of every molecule for whole temperature t in ℃: the bottom rows liquid and the
// upper rows vapour between the two temperatures, all solid at or below freezeTemp. With
// no full evaporation (kNoFullVapor) the bottom row stays liquid at every temperature.
void SetMolStates(MolField& field, std::int32_t t, std::int32_t fullVaporTemp,
                  std::int32_t freezeTemp);
inline void SetMolStates(MolField& field, std::int32_t t, const AppState& st)
{
    SetMolStates(field, t, st.fullVaporTemp, st.freezeTemp);
}

// Advances the molecule of column j (1..37) and row i (1..15) by one frame. Inline: the
// frame calls it 555 times.
inline void MoveMol(MolField& field, int j, int i)
{
    if (i < 1 || i > kRows || j < 1 || j > kColumns) return;
    MolCell& c = field.cells[i][j];
    switch (c.state) {
    case MolVapor:
        // Turn only a molecule that is beyond a wall and still moving outwards: one whose
        // velocity already points back inside would otherwise turn again on every frame.
        if ((c.x < 0 && c.dx < 0) || (c.x > kMaxX && c.dx > 0)) c.dx = -c.dx;
        if ((c.y < 0 && c.dy < 0) || (c.y > kMaxY && c.dy > 0)) c.dy = -c.dy;
        c.x += c.dx;
        c.y += c.dy;
        break;
    case MolLiquid:
        if (c.count <= 3) {
            ++c.count;
            break;
        }
        if (c.phase < 0 || c.phase > 5) c.phase = 0;
        c.x = c.homeX + field.vibOffX[c.phase];
        c.y = c.homeY + field.vibOffY[c.phase];
        c.phase = c.phase >= 5 ? 0 : c.phase + 1;
        c.count = 0;
        break;
    case MolSolid:
        c.x = c.homeX;
        c.y = c.homeY;
        break;
    default:
        break;
    }
}

} // namespace mdlSprite
