#pragma once
// Waking only for work. The tick's pace is defined on a grid of 16 ms ticks; instead of
// waking on every tick to count the frame wait down, the timer is set for the tick on which
// the next frame is due, frames that would change nothing are not drawn, and when nothing
// can move the timer is not set at all. The pace stays the one of a timer that wakes on
// every tick: a frame every frameWait + 1 ticks, on the same ticks.
#include <cstdint>
#include <functional>
#include <optional>

#include "core/app/AppState.h"
#include "core/app/Simulation.h"
#include "core/field/mdlSprite.h"

namespace framepace {

constexpr int kTickMs = 16;

// Milliseconds from a fixed origin; never goes back.
using MonotonicClock = std::function<std::int64_t()>;
std::int64_t SteadyMilliseconds();

// Where every sprite stood when the container was last drawn.
struct DrawnPlaces {
    std::int32_t x[mdlSprite::kRows + 1][mdlSprite::kColumns + 1]{};
    std::int32_t y[mdlSprite::kRows + 1][mdlSprite::kColumns + 1]{};
    bool valid = false; // false: the container does not show the field yet
};

// Moves every molecule by one frame, in the frame's order (rows 15 down to 1, columns 1 up
// to 37); true when a sprite now stands elsewhere than where it was drawn, so the picture
// must be drawn again, which the caller then does: the new places are recorded as drawn.
bool MoveAll(mdlSprite::MolField& field, DrawnPlaces& drawn);

// The frame itself, once the ramp has set the temperature t: the liquid selected since the
// last frame takes over (with its evaporation and freezing temperatures), the countdown to
// the next frame follows the temperature, the molecules take their states and move. True
// when the picture must be drawn again.
// byShare: the share of vapour the table's values put in the container, molecule by
// molecule (the data-book mode), instead of the rows.
// still: the motion is stopped. Nothing moves; only a molecule whose state changed takes a
// place that shows its new state (at home, or for vapour a fixed place above the liquid),
// so the picture follows the state without the animation.
bool FrameStep(mdlSprite::MolField& field, DrawnPlaces& drawn, AppState& st,
               const mdlData::VaporTable& table, const SystemSettings& s,
               std::int32_t selectedLiquid, simulation::Temperature t, bool byShare = false,
               bool still = false);

// True when no later frame can change anything until the temperature, the liquid or a
// setting changes: no ramp, no new liquid selection waiting, every molecule solid at its
// home, and that picture already drawn.
bool AtRest(const mdlSprite::MolField& field, const AppState& st, std::int32_t selectedLiquid,
            const DrawnPlaces& drawn);
// The same with the motion stopped: the picture drawn holds until something is changed.
bool StillAtRest(const AppState& st, std::int32_t selectedLiquid, const DrawnPlaces& drawn);

// When the timer must next wake. Ticks are counted from Start on the clock; the frame
// countdown (AppState::frameWait) is kept as a timer waking on every tick would keep it:
// counted down on every tick while the temperature text is readable, held while it is not,
// and, while at rest, running through the same frames that would have changed nothing.
class Schedule {
public:
    explicit Schedule(MonotonicClock clock = SteadyMilliseconds) : clock_(std::move(clock)) {}
    void SetClock(MonotonicClock clock) { clock_ = std::move(clock); }

    // Tick 0 is now; the first frame is due on the tick frameWait + 1 after it.
    void Start();
    void Stop() { mode_ = Mode::Stopped; }

    // After anything that may change what the next frame does (a temperature, a liquid,
    // settings, a scenario step): brings frameWait up to now and returns the milliseconds
    // until the next frame is due, or nothing when the timer must not wake (the text
    // cannot be read, or stopped).
    std::optional<int> Plan(AppState& st, bool textReadable);

    // The timer woke for the frame: counts frameWait down to 0 for the frame tick and
    // moves to it. Call the frame tick next, then AfterFrame.
    void BeginFrame(AppState& st);
    // After the frame tick: the next wake-up, or nothing when at rest or unreadable.
    std::optional<int> AfterFrame(AppState& st, bool textReadable, bool atRest);

    // The clock's time of the tick the next frame is due on; for tests and benchmarks.
    std::int64_t DueTime() const { return origin_ + due_ * kTickMs; }
    bool Armed() const { return mode_ == Mode::Running; }
    std::int64_t Now() const { return clock_(); }
    bool Resting() const { return mode_ == Mode::Resting; }

private:
    enum class Mode { Stopped, Running, Paused, Resting };
    std::int64_t TickNow() const;
    std::optional<int> Arm(const AppState& st);

    MonotonicClock clock_;
    Mode mode_ = Mode::Stopped;
    std::int64_t origin_ = 0;  // clock time of tick 0
    std::int64_t last_ = 0;    // the tick frameWait was last brought up to
    std::int64_t due_ = 0;     // the tick of the next frame, while running
    std::int32_t period_ = 1;  // while resting: ticks from one frame to the next
};

} // namespace framepace
