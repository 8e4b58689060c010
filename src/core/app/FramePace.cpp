#include "core/app/FramePace.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace framepace {

using namespace mdlSprite;

std::int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool MoveAll(MolField& field, DrawnPlaces& drawn)
{
    bool moved = !drawn.valid;
    for (int i = kRows; i >= 1; --i)
        for (int j = 1; j <= kColumns; ++j) {
            MoveMol(field, j, i);
            const MolCell& c = field.cells[i][j];
            moved |= c.x != drawn.x[i][j] || c.y != drawn.y[i][j];
            drawn.x[i][j] = c.x;
            drawn.y[i][j] = c.y;
        }
    drawn.valid = true;
    return moved;
}

namespace {

using States = std::int16_t[kRows + 1][kColumns + 1];

// A fixed place for a still vapour molecule, scattered over the room above the liquid, so
// that the still picture shows the share of vapour as the moving one does.
void PlaceStillVapour(MolCell& c, int i, int j, std::int32_t room)
{
    std::uint32_t h = static_cast<std::uint32_t>(i) * 2654435761u ^ static_cast<std::uint32_t>(j) * 40503u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    c.x = static_cast<std::int32_t>(h % static_cast<std::uint32_t>(kMaxX + 1));
    c.y = static_cast<std::int32_t>((h >> 9) % static_cast<std::uint32_t>(room + 1));
}

bool PlaceStill(MolField& field, DrawnPlaces& drawn, const States& before)
{
    // The top of the liquid or solid: vapour stands above it, anywhere when none is left.
    std::int32_t surface = kContainerHeight;
    for (int i = 1; i <= kRows; ++i)
        for (int j = 1; j <= kColumns; ++j)
            if (field.cells[i][j].state != MolVapor) surface = std::min(surface, field.cells[i][j].homeY);
    const std::int32_t room = std::clamp<std::int32_t>(surface - kSpriteSize, 0, kMaxY);
    bool moved = !drawn.valid;
    for (int i = kRows; i >= 1; --i)
        for (int j = 1; j <= kColumns; ++j) {
            MolCell& c = field.cells[i][j];
            if (c.state != before[i][j]) {
                if (c.state == MolVapor) {
                    PlaceStillVapour(c, i, j, room);
                } else {
                    c.x = c.homeX;
                    c.y = c.homeY;
                }
            }
            moved |= c.x != drawn.x[i][j] || c.y != drawn.y[i][j];
            drawn.x[i][j] = c.x;
            drawn.y[i][j] = c.y;
        }
    drawn.valid = true;
    return moved;
}

} // namespace

bool FrameStep(MolField& field, DrawnPlaces& drawn, AppState& st, const mdlData::VaporTable& table,
               const SystemSettings& s, std::int32_t selectedLiquid, simulation::Temperature t, bool byShare,
               bool still)
{
    if (selectedLiquid != st.curLiquid) {
        st.curLiquid = selectedLiquid;
        simulation::RefreshLiquidTemps(st, table, s);
    }
    st.frameWait = simulation::FrameWaitFor(simulation::CelsiusOf(t.real, s.temperatureUnit),
                                            st.fullVaporTemp, st.freezeTemp);
    const std::int64_t celsius = std::int64_t{t.whole} - (s.temperatureUnit == 1 ? 273 : 0);
    const auto c = static_cast<std::int32_t>(std::max<std::int64_t>(celsius, std::numeric_limits<std::int32_t>::min()));
    std::optional<std::int64_t> count;
    if (byShare) {
        SystemSettings mmHg = s;
        mmHg.pressureUnit = 0;
        count = mdlSprite::VaporCount(mdlData::GetVaporPress(table, st.curLiquid, mmHg, t.whole),
                                      static_cast<double>(celsius), s.container, s.mol);
    }
    States before{};
    if (still)
        for (int i = 1; i <= kRows; ++i)
            for (int j = 1; j <= kColumns; ++j) before[i][j] = field.cells[i][j].state;
    if (count) mdlSprite::SetMolStatesByCount(field, c, st.freezeTemp, *count);
    else mdlSprite::SetMolStates(field, c, st);
    return still ? PlaceStill(field, drawn, before) : MoveAll(field, drawn);
}

bool StillAtRest(const AppState& st, std::int32_t selectedLiquid, const DrawnPlaces& drawn)
{
    return st.rampOn == 0 && selectedLiquid == st.curLiquid && drawn.valid;
}

bool AtRest(const MolField& field, const AppState& st, std::int32_t selectedLiquid,
            const DrawnPlaces& drawn)
{
    if (st.rampOn != 0 || selectedLiquid != st.curLiquid || !drawn.valid) return false;
    for (int i = 1; i <= kRows; ++i)
        for (int j = 1; j <= kColumns; ++j) {
            const MolCell& c = field.cells[i][j];
            if (c.state != MolSolid || c.x != c.homeX || c.y != c.homeY || c.x != drawn.x[i][j]
                || c.y != drawn.y[i][j])
                return false;
        }
    return true;
}

void Schedule::Start()
{
    origin_ = clock_();
    last_ = 0;
    due_ = 0;
    mode_ = Mode::Running;
}

std::int64_t Schedule::TickNow() const
{
    return std::max<std::int64_t>(0, (clock_() - origin_) / kTickMs);
}

std::optional<int> Schedule::Arm(const AppState& st)
{
    due_ = last_ + std::max<std::int64_t>(st.frameWait, 0) + 1;
    const std::int64_t ms = DueTime() - clock_();
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

std::optional<int> Schedule::Plan(AppState& st, bool textReadable)
{
    const std::int64_t now = TickNow();
    switch (mode_) {
    case Mode::Stopped:
        return std::nullopt;
    case Mode::Paused:
        if (!textReadable) return std::nullopt;
        last_ = now; // the ticks while it could not be read did not count
        mode_ = Mode::Running;
        return Arm(st);
    case Mode::Resting: {
        // Frames went on every period_ ticks since last_, changing nothing: take up the
        // countdown where it stands now.
        const std::int64_t e = std::max<std::int64_t>(0, now - last_);
        st.frameWait = static_cast<std::int16_t>(period_ - 1 - e % period_);
        last_ = now;
        mode_ = Mode::Running;
        break;
    }
    case Mode::Running:
        break;
    }
    if (!textReadable) {
        const std::int64_t counted = std::clamp<std::int64_t>(now - last_, 0, st.frameWait);
        st.frameWait = static_cast<std::int16_t>(st.frameWait - counted);
        last_ = now;
        mode_ = Mode::Paused;
        return std::nullopt;
    }
    return Arm(st);
}

void Schedule::BeginFrame(AppState& st)
{
    const std::int64_t now = TickNow();
    // Woken more than a tick late (a busy machine): like a periodic timer, the missed ticks
    // are dropped rather than rushed through.
    if (now > due_ + 1) origin_ += (now - due_) * kTickMs;
    st.frameWait = 0;
    last_ = due_;
}

std::optional<int> Schedule::AfterFrame(AppState& st, bool textReadable, bool atRest)
{
    if (mode_ != Mode::Running) return std::nullopt;
    if (!textReadable) {
        mode_ = Mode::Paused;
        return std::nullopt;
    }
    if (atRest) {
        mode_ = Mode::Resting;
        period_ = std::max<std::int32_t>(st.frameWait, 0) + 1;
        return std::nullopt;
    }
    return Arm(st);
}

} // namespace framepace
